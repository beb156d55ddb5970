/* lwxpanel.h on its own must be enough to use what it declares. */
#include "lwxpanel.h"

#include "c_side.h"

size_t sdk_alone_lwxpanel(void) {
    return sizeof(LWXPanelFuncs);
}
