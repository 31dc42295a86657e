// OLE for the user-interface thread: the picture loader and the shell's dialogs need it.
#pragma once

namespace platform {

// Starts OLE on the calling thread (ole32 from the system folder); false when it cannot.
bool StartOle();

}  // namespace platform
