/* lwrender.h on its own must be enough to use what it declares. */
#include "lwrender.h"

#include "c_side.h"

size_t sdk_alone_lwrender(void) {
    return sizeof(LWViewportInfo);
}
