#include "platform/ole.h"

#include <windows.h>

#include "platform/system_library.h"

namespace platform {

bool StartOle() {
    auto initialize = SystemFunction<HRESULT(WINAPI*)(void*)>(L"ole32.dll", "OleInitialize");
    return initialize && SUCCEEDED(initialize(nullptr));
}

}  // namespace platform
