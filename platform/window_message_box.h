// Message boxes owned by a window (a page, the sheet) or by nobody. The texts are GBK; the box
// goes through the W API with code page 936, so it reads right under any user locale.
#pragma once

#include <cstddef>

#include "platform/message_box.h"

namespace platform {

// Shows `text` with an OK button (plus whatever `type` asks for, in MB_* flags) over `owner`,
// which may be null. A null `caption` gives the default caption, the executable's file name
// without its extension; an empty one gives an empty title bar. Returns the button pressed.
int ShowOwnedMessageBox(void* owner, const char* text, const char* caption, unsigned type = 0);

// Lets a test see and answer every box instead of a user: the hook gets the texts (GBK; the
// default caption already filled in) and the flags and returns the button. Null restores the
// real box.
using OwnedMessageBoxHook = int (*)(void* owner, const char* text, const char* caption,
                                    unsigned type);
void SetOwnedMessageBoxHook(OwnedMessageBoxHook hook);

// The executable's file name without its extension.
void DefaultCaption(wchar_t* caption, size_t room);

}  // namespace platform
