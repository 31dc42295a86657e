#include "platform/keep_alive.h"

#include <windows.h>

namespace platform {

void KeepAlive::Tick() {
    const uint32_t now = GetTickCount();
    if (now - last_ < 25) return;
    last_ = now;
    Pump();
}

void KeepAlive::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_PAINT))
        DispatchMessageW(&message);
}

}  // namespace platform
