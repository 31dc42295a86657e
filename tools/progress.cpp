#include "tools/progress.h"

#include <string>

namespace sfxpack {

namespace {
constexpr double kQuietSeconds = 1.0;  // a build shorter than this shows no progress
constexpr double kBarInterval = 0.1;   // redraws of the bar
constexpr double kLineInterval = 5.0;  // plain lines into a log
constexpr int kBarWidth = 24;

std::string MiB(uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / (1024.0 * 1024.0));
    return text;
}

std::string Duration(double seconds) {
    const long total = static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60,
                      total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}
}  // namespace

ProgressMeter::ProgressMeter(uint64_t totalBytes, FILE* out, bool terminal)
    : total_(totalBytes), out_(out), terminal_(terminal) {}

std::string ProgressMeter::Describe(uint64_t done, uint64_t total, double seconds, bool bar) {
    const double fraction = total ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    std::string text;
    if (bar) {
        const int filled = static_cast<int>(fraction * kBarWidth);
        text = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
    }
    char percent[16];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(fraction * 100));
    text += percent;
    text += "  " + MiB(done) + "/" + MiB(total) + " MiB  " + MiB(static_cast<uint64_t>(rate)) +
            " MiB/s";
    if (rate > 0 && done < total)
        text += "  " + Duration(static_cast<double>(total - done) / rate) + " left";
    return text;
}

void ProgressMeter::Advance(uint64_t bytes) {
    done_ += bytes;
    const Clock::time_point now = Clock::now();
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double sinceShown = std::chrono::duration<double>(now - lastShown_).count();
    if (elapsed < kQuietSeconds || sinceShown < (terminal_ ? kBarInterval : kLineInterval)) return;
    lastShown_ = now;
    shown_ = true;
    const std::string text = Describe(done_, total_, elapsed, terminal_);
    if (terminal_)
        std::fprintf(out_, "\r%s\033[K", text.c_str());
    else
        std::fprintf(out_, "sfxpack: %s\n", text.c_str());
    std::fflush(out_);
}

void ProgressMeter::Finish() {
    if (terminal_ && shown_) std::fprintf(out_, "\r\033[K");
    std::fflush(out_);
}

}  // namespace sfxpack
