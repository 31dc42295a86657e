// One use of the system's folder-selection dialog: file-system folders only, opening on the
// current choice, with the application's name as its title.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class FolderBrowser {
public:
    const char* caption = "";        // the dialog's title; empty keeps the system's
    const char* initialFolder = "";  // selected when the dialog opens; empty selects nothing
    const char* prompt = "";         // shown above the folder tree
    char result[1024] = {};          // the chosen folder, after a run that returned 1

    // 1 when a file-system folder was chosen (its path is then in `result`), 0 when the user
    // cancelled or chose something without a path.
    int Run(HWND owner);
};

}  // namespace ui
