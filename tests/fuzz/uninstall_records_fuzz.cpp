// Any bytes as setup.log and as setup.lst, which a user or another program may have edited: a
// record the uninstaller takes whole holds only lines it can act on (no zero or other control
// byte, none longer than the limit), and reads back the same once written again.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "package/install_records.h"

namespace {
void CheckLines(const package::LineList& lines) {
    for (int32_t i = 0; i < lines.count(); ++i) {
        const char* line = lines.at(i);
        const size_t length = std::strlen(line);
        if (length == 0 || length > package::kLineLimit) __builtin_trap();
        for (size_t k = 0; k < length; ++k)
            if (static_cast<unsigned char>(line[k]) < 0x20) __builtin_trap();
    }
}

bool SameLines(const package::LineList& a, const package::LineList& b) {
    if (a.count() != b.count()) return false;
    for (int32_t i = 0; i < a.count(); ++i)
        if (std::strcmp(a.at(i), b.at(i)) != 0) return false;
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* text = reinterpret_cast<const char*>(data);

    package::InstallLog log;
    if (package::ReadInstallLog(text, size, &log).ok()) {
        CheckLines(log.files);
        CheckLines(log.types);
        CheckLines(log.links);
        platform::TextBuffer written;
        package::InstallLog again;
        if (!package::WriteInstallLog(log, &written) ||
            !package::ReadInstallLog(written.data(), written.size(), &again).ok() ||
            !SameLines(log.files, again.files) || !SameLines(log.types, again.types) ||
            !SameLines(log.links, again.links))
            __builtin_trap();
    }

    package::LineList files;
    if (package::ReadFileList(text, size, &files).ok()) {
        CheckLines(files);
        platform::TextBuffer written;
        package::LineList again;
        if (!package::WriteFileList(files, &written) ||
            !package::ReadFileList(written.data(), written.size(), &again).ok() ||
            !SameLines(files, again))
            __builtin_trap();
    }
    return 0;
}
