/* lwlaytool.h on its own must be enough to use what it declares. */
#include "lwlaytool.h"

#include "c_side.h"

size_t sdk_alone_lwlaytool(void) {
    return sizeof(LWLayoutToolFuncs);
}
