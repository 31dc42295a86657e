// The files the installer leaves beside unwise.exe for it, by name: setup.log (what the package
// holds, the file types, the links) and setup.lst (the files the installations really wrote).
// The finish step writes them; the uninstaller reads them and writes what remains.
#pragma once

#include <cstddef>

namespace package {

constexpr char kLogName[] = "setup.log";
constexpr char kWrittenListName[] = "setup.lst";
// The largest either may be: some 100,000 files of ordinary paths fit many times over, and a
// larger file is no installation's record.
constexpr size_t kRecordLimit = 64u * 1024 * 1024;

}  // namespace package
