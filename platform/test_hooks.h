// Fault and timing switches that only the test programs throw (setup_test.exe and the unit
// tests): the shipped programs never include this header, and with every switch off they
// behave exactly as the shipped ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/file.h"

namespace platform {

// A test program's hook on every write, before it reaches the system: it may delay the write or
// fail it (returning false with an error code), to show how a slow or full disk is met. Null,
// as in the shipped programs, lets every write through.
using WriteHook = bool (*)(size_t count, ErrorCode* error);
void SetWriteHook(WriteHook hook);
// The same on every file a program creates by a GBK path (RawFile::Create and CreateNew): it
// may refuse the file with an error code, as a folder without write permission does.
using CreateHook = bool (*)(const char* path, ErrorCode* error);
void SetCreateHook(CreateHook hook);
// The same before every read of the Win32 backend: it may delay it, as a slow disk or share does.
using ReadHook = void (*)(size_t count);
void SetReadHook(ReadHook hook);

// Every pause of the installation run lasts this long instead (0: as the run asks), so that a
// scenario can read the progress page's end state before the finish page replaces it.
void SetPauseForTests(uint32_t milliseconds);

}  // namespace platform
