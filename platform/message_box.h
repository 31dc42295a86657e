// The application's own message box: a text (GBK) with an OK button over the active window.
// Without windows (the host build) the messages are kept for the tests to read.
#pragma once

#ifndef _WIN32
#include <string>
#include <vector>
#endif

namespace platform {

// A null or empty `caption` gives the default caption, the executable's name without extension.
void ShowAppMessage(const char* text, const char* caption = nullptr);

using MessageHook = void (*)(const char* text, const char* caption);
void SetMessageHook(MessageHook hook);

#ifndef _WIN32
std::vector<std::string> TakeShownMessages();
#endif

}  // namespace platform
