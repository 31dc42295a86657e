#include "platform/file.h"

namespace platform {

RawFile::~RawFile() { Close(); }

namespace {
WriteHook g_writeHook = nullptr;
}  // namespace

void SetWriteHook(WriteHook hook) { g_writeHook = hook; }

bool PassesWriteHook(size_t count, ErrorCode* error) {
    return !g_writeHook || g_writeHook(count, error);
}

bool TextFile::WriteString(const char* text) {
    // Runs without LF go out in one call each, so a long log costs few writes.
    const char* run = text;
    for (const char* p = text;; ++p) {
        if (*p == '\n' || *p == '\0') {
            if (p > run && !file_.Write(run, static_cast<size_t>(p - run))) return false;
            if (*p == '\0') return true;
            if (!file_.Write("\r\n", 2)) return false;
            run = p + 1;
        }
    }
}

}  // namespace platform
