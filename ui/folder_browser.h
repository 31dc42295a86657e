// One use of the system's folder-selection dialog: file-system folders only, opening on the
// current choice, with the application's name as its title.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class FolderBrowser {
public:
    std::string caption;        // the dialog's title; empty keeps the system's
    std::string result;         // the chosen folder, after a run that returned 1
    std::string initialFolder;  // selected when the dialog opens; empty selects nothing
    std::string prompt;         // shown above the folder tree

    // 1 when a file-system folder was chosen (its path is then in `result`), 0 when the user
    // cancelled or chose something without a path.
    int Run(HWND owner);
};

}  // namespace ui
