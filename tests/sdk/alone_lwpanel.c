/* lwpanel.h on its own must be enough to use what it declares. */
#include "lwpanel.h"

#include "c_side.h"

size_t sdk_alone_lwpanel(void) {
    return sizeof(LWPanControlDesc);
}
