/* lwtool.h on its own must be enough to use what it declares. */
#include "lwtool.h"

#include "c_side.h"

size_t sdk_alone_lwtool(void) {
    return sizeof(LWToolEvent);
}
