/* lwcomring.h on its own must be enough to use what it declares. */
#include "lwtypes.h" /* lwcomring.h includes nothing */
#include "lwcomring.h"

#include "c_side.h"

size_t sdk_alone_lwcomring(void) {
    return sizeof(LWComRing);
}
