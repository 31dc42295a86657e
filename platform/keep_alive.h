// A window that stays answering through a long run on its own thread.
#pragma once

#include <cstdint>

namespace platform {

// Sent messages and paints only: a posted press or button change would re-enter the window in
// the middle of the run, so user input waits in the queue until the run has ended. That is
// enough for the system to see a program that answers, and for the window to stay drawn.
class KeepAlive {
public:
    // Drawing is what costs (thousands of small files would repaint the window thousands of
    // times): at most every 25 ms, which the eye cannot tell from every file.
    void Tick();
    // Answers the sent messages and paints that are waiting, now.
    static void Pump();

private:
    uint32_t last_ = 0;
};

}  // namespace platform
