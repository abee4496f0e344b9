#pragma once
// Counting step pulses in a run of samples: a pulse is counted at the first falling
// sample after a rise. The sweep, the WAV writer and the WAV reader all count this way,
// so the number a move plans is the number its file holds.

#include <cstdint>

namespace kerf {

template <typename Count>
struct PulseCounter {
    std::int16_t previous = 0;  // the sample before the next one
    bool latch = false;         // set once the current fall has been counted
    Count count = 0;

    void add(std::int16_t v) {
        const int d = int{v} - int{previous};
        if (d < 0) {
            if (!latch) {
                ++count;
                latch = true;
            }
        } else if (d > 0) {
            latch = false;
        }
        previous = v;
    }
};

}  // namespace kerf
