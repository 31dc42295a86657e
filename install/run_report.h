// The report that /LOG=file asks for: a plain UTF-8 text, one line for each file and what became
// of it, each registration and each failure with the system's reason, and the end. Written line
// by line, so that a run that ends abruptly still leaves what it did.
#pragma once

#include "install/installation_run.h"
#include "platform/file.h"

namespace install {

class RunReport {
public:
    // Creates (or empties) the report; false when it cannot be made.
    bool Open(const wchar_t* path);
    bool IsOpen() const { return file_.IsOpen(); }

    // `what`, then the GBK `text` (a path, a message) when there is one, then the system's
    // reason for `error` when there is one.
    void Line(const char* what, const char* text = nullptr, platform::ErrorCode error = 0);
    void WideLine(const char* what, const wchar_t* text);

    // The lines of the installation run.
    void File(const char* path, FileOutcome outcome);
    void SizeMismatch(const char* path, uint32_t decoded, uint32_t expected);
    void Failure(const char* path, const WriteFailure& failure);

private:
    void Write(const wchar_t* text);
    platform::RawFile file_;
};

// What happened to the file, as the failure question and the report say it.
const char* WhatFailed(WriteFailure::Kind kind);

}  // namespace install
