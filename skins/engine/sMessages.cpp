#include "sMessages.h"

void sMessagesInitialization() {
    // The name is registered as every copy of the library does, but senders and receivers agree on
    // the fixed number, whatever the system hands out.
    RegisterWindowMessageA("SM_ALPHACMD");
}
