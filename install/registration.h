// What the installation registers with the system: installed controls register themselves.
// Best effort: the run goes on whatever happens, so nothing here shows a message. Paths are GBK
// and reach the W APIs through code page 936.
#pragma once

namespace install {

// Loads the control at `path` (a full GBK path) and calls its DllRegisterServer. True when the
// library loaded and the export is missing or returned a non-negative HRESULT. The DLLs that
// the control imports are found beside it and in the system folder, never in the installer's
// own (download) folder. The library is released again in every case.
bool RegisterServer(const char* path);

}  // namespace install
