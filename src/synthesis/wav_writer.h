#pragma once
// The step-signal WAV file: 16-bit PCM, two channels at 44100 frames per second,
// the right channel the negated left. Counting the pulses as it writes.

#include <atomic>
#include <cstdint>
#include <string>

#include "chirp.h"
#include "move_steps.h"

namespace kerf {

struct WriteResult {
    bool complete = false;       // file written and done step run
    std::int32_t pulses = 0;     // pulses written (also when cancelled)
    std::string error;           // message when writing failed
};

// Writes aMS as stereo antiphase frames to am_name. Runs writer_start before the file is
// opened, progress about 100 times, done when complete, error when writing fails.
// The file is written under a temporary name beside am_name and renamed at the end,
// so no partial file ever stands under am_name; an incomplete file is removed.
WriteResult writestreamtofile(const SampleStream& aMS, const std::atomic<bool>& stop,
                              const std::string& am_name, MoveSteps& steps);

}  // namespace kerf
