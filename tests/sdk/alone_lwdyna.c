/* lwdyna.h on its own must be enough to use what it declares. */
#include "lwdyna.h"

#include "c_side.h"

size_t sdk_alone_lwdyna(void) {
    return sizeof(DynaValue);
}
