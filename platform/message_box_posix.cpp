#include "platform/message_box.h"

#include <utility>

namespace platform {

namespace {
MessageHook g_hook = nullptr;
std::vector<std::string>& Shown() {
    static std::vector<std::string> shown;
    return shown;
}
}  // namespace

void ShowAppMessage(const char* text, const char* caption) {
    if (g_hook)
        g_hook(text, caption ? caption : "");
    else
        Shown().push_back(text);
}

void SetMessageHook(MessageHook hook) { g_hook = hook; }

std::vector<std::string> TakeShownMessages() { return std::exchange(Shown(), {}); }

}  // namespace platform
