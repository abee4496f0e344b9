#pragma once
// The window's media player: plays one step-signal WAV file at a time through the
// default sound output, sample for sample, and reports its duration, position and state.
// Every pulse of the file must reach the sound card: silence is padded before and
// after the signal as the sound server needs, and the end is reported only once the
// last sample has been played.

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
    // currentTime() == duration() once the last frame has been played.
    qint64 duration() const;
    qint64 currentTime() const;
    State state() const;

    void play();
    // Silences the output at once.
    void stop();
    void setVolume(double volume);

    // True when the last playback ended before the end of its file without stop()
    // (a sound device lost mid-move, say); lastError() then says what happened.
    bool failed() const;
    QString lastError() const;

Q_SIGNALS:
    void stateChanged(kerf::MediaPlayer::State state);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace kerf
