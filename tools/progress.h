// How far a long build is, on standard error: a bar redrawn in place on a terminal, a plain line
// every few seconds otherwise. Nothing during the first second, so that short builds stay quiet.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/package_writer.h"

namespace sfxpack {

class ProgressMeter : public BuildProgress {
public:
    using Clock = std::chrono::steady_clock;

    ProgressMeter(uint64_t totalBytes, FILE* out, bool terminal);
    void Advance(uint64_t bytes) override;
    // Clears the bar, if one is shown.
    void Finish();

    // "[#####.....]  50%  1.2/2.4 MiB  3.1 MiB/s  0:02 left", or the same as a plain line.
    static std::string Describe(uint64_t done, uint64_t total, double seconds, bool bar);

private:
    uint64_t total_;
    uint64_t done_ = 0;
    FILE* out_;
    bool terminal_;
    bool shown_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastShown_ = start_;
};

}  // namespace sfxpack
