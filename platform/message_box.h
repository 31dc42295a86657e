// The application's message box: an OK button and, unless a caption is given, the executable's
// file name without its extension as the caption. Texts are GBK.
#pragma once

#include <string>
#include <vector>

namespace platform {

void ShowAppMessage(const std::string& text, const std::string& caption = std::string());

// While a hook is set, messages go to it instead of a box: a modal box in a test under Wine
// would wait for a click that never comes. nullptr restores the box.
using MessageHook = void (*)(const std::string& text, const std::string& caption);
void SetMessageHook(MessageHook hook);

#ifdef _WIN32
// The executable's file name without its folder and extension ("setup" for setup.exe): the
// caption of a box that is given none. GBK.
std::string DefaultCaption();
#else
// Without windows, messages that no hook takes are kept here, oldest first, for tests to read.
std::vector<std::string> TakeShownMessages();
#endif

}  // namespace platform
