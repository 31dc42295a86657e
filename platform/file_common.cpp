#include "platform/file.h"

#include "platform/gbk.h"

namespace platform {

RawFile::~RawFile() { Close(); }

namespace {
WriteHook g_writeHook = nullptr;
CreateHook g_createHook = nullptr;
}  // namespace

void SetWriteHook(WriteHook hook) { g_writeHook = hook; }
void SetCreateHook(CreateHook hook) { g_createHook = hook; }

bool PassesCreateHook(const char* path, ErrorCode* error) {
    return !g_createHook || g_createHook(path, error);
}

bool PassesWriteHook(size_t count, ErrorCode* error) {
    return !g_writeHook || g_writeHook(count, error);
}

bool CreateSibling(const char* path, char* sibling, size_t room, RawFile* file) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32] = ".sfx-new";
        if (attempt > 0) gbk::FormatDecimal(attempt, suffix + 8);
        if (!gbk::Copy(sibling, room, path) || !gbk::Append(sibling, room, suffix)) return false;
        if (file->CreateNew(sibling)) return true;
        // Another run's leftover or another program's file: never opened, never removed.
        if (PathExists(sibling)) continue;
        return false;
    }
    return false;
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
