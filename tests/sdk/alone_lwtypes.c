/* lwtypes.h on its own must be enough to use what it declares. */
#include "lwtypes.h"

#include "c_side.h"

size_t sdk_alone_lwtypes(void) {
    return sizeof(LWDMatrix4) + sizeof(LWFVector) + sizeof(LWError);
}
