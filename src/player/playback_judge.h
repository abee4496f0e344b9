#pragma once
// What a state of the sound output means for the move being played.

#include <QAudio>
#include <QString>

namespace kerf::player {

struct Judgement {
    bool failed = false;  // playback ended, or must end, before the end of the file
    QString error;        // why, for the operator
};

// state and error: as the sound output reports them; delivered_all: the source has
// handed over every frame, trailing silence included (running dry is then expected).
Judgement judge_output(QAudio::State state, QAudio::Error error, bool delivered_all);

// A sentence for the operator about an error of the sound output.
QString output_error_text(QAudio::Error error);

}  // namespace kerf::player
