#include "playback_judge.h"

namespace kerf::player {

QString output_error_text(QAudio::Error error) {
    switch (error) {
        case QAudio::NoError:
            return QStringLiteral("The sound output stopped before the end of the move.");
        case QAudio::OpenError:
            return QStringLiteral("The sound output could not be opened.");
        case QAudio::IOError:
            return QStringLiteral("Writing to the sound output failed.");
        case QAudio::UnderrunError:
            return QStringLiteral(
                "The sound output ran out of samples in the middle of the move (underrun); "
                "the motor may have lost steps.");
        case QAudio::FatalError:
            return QStringLiteral(
                "The sound output failed: the sound device or the sound server was lost.");
    }
    return QStringLiteral("The sound output reported an unknown error.");
}

Judgement judge_output(QAudio::State state, QAudio::Error error, bool delivered_all) {
    switch (error) {
        case QAudio::OpenError:
        case QAudio::IOError:
        case QAudio::FatalError:
            return {true, output_error_text(error)};
        case QAudio::UnderrunError:
            if (!delivered_all) return {true, output_error_text(error)};
            break;
        case QAudio::NoError:
            break;
    }
    if (state == QAudio::StoppedState) {
        return {true, output_error_text(error == QAudio::UnderrunError ? QAudio::NoError : error)};
    }
    return {};
}

}  // namespace kerf::player
