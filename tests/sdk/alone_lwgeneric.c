/* lwgeneric.h on its own must be enough to use what it declares. */
#include "lwgeneric.h"

#include "c_side.h"

size_t sdk_alone_lwgeneric(void) {
    return sizeof(LWLayoutGeneric);
}
