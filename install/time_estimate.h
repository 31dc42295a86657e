// The remaining-time estimate of the copy loop. It follows the measured rate (a cumulative
// average since the first file) only when the two differ by more than a factor of four, so the
// line does not jump with every file.
#pragma once

#include <cstddef>
#include <cstdint>

namespace install {

class TimeEstimate {
public:
    explicit TimeEstimate(int64_t total) : total_(total) {}

    // After a file: `done` bytes of the total so far, `elapsedMs` since the first file began.
    // Writes the line to show ("估计剩余时间…") and returns true when there is an estimate;
    // false leaves the line as it is.
    bool Update(int64_t done, uint32_t elapsedMs, char* text, size_t room);

    // Bytes per millisecond that the estimate uses; 0 before the first measurement.
    double rate() const { return rate_; }

    // The line for `seconds` of remaining time.
    static void Format(int32_t seconds, char* text, size_t room);

private:
    int64_t total_;
    double rate_ = 0;
};

}  // namespace install
