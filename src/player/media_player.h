#pragma once
// The window's media player: plays one step-signal WAV file at a time through the
// default sound output, sample for sample, and reports its duration, position and state.
// Every pulse of the file must reach the sound card: silence is padded before and
// after the signal as the sound server needs, and the end is reported only once the
// last sample has been played.
//
// Main thread only. The file is read into memory when it is loaded (and closed at
// once); the sound output is fed from an audio thread of the player's own, so a busy
// window cannot starve it. stateChanged is emitted when playback starts and when it
// stops: at its end, on a failure, on stop() or clear().

#include <QObject>
#include <QString>
#include <memory>

namespace kerf {

class MediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class State { Stopped, Playing };

    explicit MediaPlayer(QObject* parent = nullptr);
    ~MediaPlayer() override;

    // Unloads any media (stops first); releases the file so it can be rewritten or deleted.
    void clear();
    // Loads a file; on failure the player has no media and lastError() says why.
    void setFileName(const QString& path);
    QString fileName() const;
    bool hasMedia() const;

    // Duration and current time in frames of the loaded signal (0 without media);
    // currentTime() == duration() once the last frame has been played. While Playing,
    // currentTime() stays below a non-zero duration(); the end comes with the state Stopped.
    qint64 duration() const;
    qint64 currentTime() const;
    State state() const;

    // Plays the loaded signal from its start. When the output cannot be started (no
    // sound server or device), the state stays Stopped, failed() is true and
    // lastError() says why. Without media it does nothing but set lastError().
    void play();
    // Silences the output at once (not a drain); currentTime() keeps the position reached.
    void stop();
    // 0.0 to 1.0; 1.0, the default, passes every sample unchanged.
    void setVolume(double volume);

    // True when the last playback ended before the end of its file without stop()
    // (a sound device lost mid-move, an underrun, say); lastError() then says what
    // happened, with currentTime() < duration() and the state Stopped. Cleared by play()
    // and clear(). lastError() also says why a file was not loaded.
    bool failed() const;
    QString lastError() const;

Q_SIGNALS:
    void stateChanged(kerf::MediaPlayer::State state);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace kerf
