#include "install/time_estimate.h"

#include "platform/gbk.h"
#include "resources/setup_texts.h"

namespace install {

namespace {
void AppendNumber(char* text, size_t room, int32_t value, const char* unit) {
    char number[24];
    gbk::FormatDecimal(value, number);
    gbk::Append(text, room, number);
    gbk::Append(text, room, unit);
}
}  // namespace

void TimeEstimate::Format(int32_t seconds, char* text, size_t room) {
    gbk::Copy(text, room, text::kTimeLeft);
    if (seconds >= 3600) {
        AppendNumber(text, room, seconds / 3600, text::kHours);
        AppendNumber(text, room, seconds % 3600 / 60, text::kMinutes);
    } else if (seconds >= 60) {
        AppendNumber(text, room, seconds / 60, text::kMinutes);
    }
    AppendNumber(text, room, seconds % 60, text::kSecondsEnd);
}

bool TimeEstimate::Update(int64_t done, uint32_t elapsedMs, char* text, size_t room) {
    // Within the first millisecond tick the rate is infinite (or, with nothing done yet, not a
    // number): the comparisons below then take the next real measurement at once.
    const double current = static_cast<double>(done) / static_cast<double>(elapsedMs);
    if (!(rate_ > 0)) rate_ = current;
    const double ratio = current / rate_;
    if (ratio > 4.0 || !(ratio >= 0.25)) rate_ = current;
    if (!(rate_ > 0)) return false;
    // A rate close to nothing would make the milliseconds overflow: the line stops at the most
    // it can say rather than wrap into a small number.
    const double remaining = static_cast<double>(total_ - done) / rate_;
    const int32_t milliseconds = remaining >= 2147483647.0 ? 2147483647
                                 : remaining <= 0          ? 0
                                                           : static_cast<int32_t>(remaining);
    Format(milliseconds / 1000, text, room);
    return true;
}

}  // namespace install
