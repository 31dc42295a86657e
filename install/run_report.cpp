#include "install/run_report.h"

#include <windows.h>

#include "platform/gbk.h"
#include "platform/text_win32.h"
#include "resources/setup_texts.h"

namespace install {

const char* WhatFailed(WriteFailure::Kind kind) {
    switch (kind) {
        case WriteFailure::CannotCreate: return text::kCannotCreate;
        case WriteFailure::CannotWrite: return text::kCannotWrite;
        case WriteFailure::CannotReplace: return text::kCannotReplace;
        case WriteFailure::DamagedData: return text::kDamagedData;
        case WriteFailure::CannotRead: return text::kCannotRead;
        case WriteFailure::PathTooLong: return text::kPathTooLong;
    }
    return text::kCannotWrite;
}

bool RunReport::Open(const wchar_t* path) { return file_.Create(path); }

void RunReport::Write(const wchar_t* text) {
    char utf8[8192];
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8 - 2, nullptr, nullptr);
    if (length <= 0) return;
    // A failed write of the report changes nothing about the run it reports.
    file_.Write(utf8, static_cast<size_t>(length - 1));
    file_.Write("\r\n", 2);
}

void RunReport::Line(const char* what, const char* text, platform::ErrorCode error) {
    if (!IsOpen()) return;
    wchar_t line[4096];
    lstrcpynW(line, platform::Wide(what).c_str(), 4096);
    if (text && text[0]) {
        lstrcatW(line, L" ");
        const platform::Wide wide(text);
        lstrcpynW(line + lstrlenW(line), wide.c_str(), 4096 - lstrlenW(line));
    }
    wchar_t reason[1024];
    platform::SystemReason(error, reason, 1024);
    if (reason[0] && lstrlenW(line) + lstrlenW(reason) + 4 < 4096) {
        lstrcatW(line, L" (");
        lstrcatW(line, reason);
        lstrcatW(line, L")");
    }
    Write(line);
}

void RunReport::WideLine(const char* what, const wchar_t* text) {
    if (!IsOpen()) return;
    wchar_t line[4096];
    lstrcpynW(line, platform::Wide(what).c_str(), 4096);
    lstrcatW(line, L" ");
    lstrcpynW(line + lstrlenW(line), text, 4096 - lstrlenW(line));
    Write(line);
}

void RunReport::File(const char* path, FileOutcome outcome) {
    switch (outcome) {
        case FileOutcome::Written: return Line("written:", path);
        case FileOutcome::Kept: return Line("kept (it was there):", path);
        case FileOutcome::Failed: return Line("NOT INSTALLED:", path);
        case FileOutcome::NotInstalled:
            return Line("NOT INSTALLED (the copying was stopped):", path);
    }
}

void RunReport::SizeMismatch(const char* path, uint32_t decoded, uint32_t expected) {
    gbk::Text<1200> text;
    char number[16];
    text.Assign(path);
    text.Append(": decoded ");
    gbk::FormatDecimal(decoded, number);
    text.Append(number);
    text.Append(" bytes, the archive says ");
    gbk::FormatDecimal(expected, number);
    text.Append(number);
    Line("size differs:", text.c_str());
}

void RunReport::Failure(const char* path, const WriteFailure& failure) {
    gbk::Text<1200> text;
    text.Assign(WhatFailed(failure.kind));
    text.Append(" ");
    text.Append(path);
    Line("failed:", text.c_str(), failure.error);
}

}  // namespace install
