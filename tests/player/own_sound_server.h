#pragma once
// A sound server of a test's own: pulseaudio with a null sink kerf_null, reached through
// a socket in a temporary folder, so that a test can kill it while a move plays.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kerf::test {

class OwnSoundServer {
  public:
    OwnSoundServer();
    ~OwnSoundServer();
    OwnSoundServer(const OwnSoundServer&) = delete;
    OwnSoundServer& operator=(const OwnSoundServer&) = delete;

    QString socket() const;
    // The value for PULSE_SERVER.
    QString server() const;
    // Whether the server answers pactl yet.
    bool answers() const;
    void kill();
    // What the server wrote to its log so far.
    QString log() const;

  private:
    QTemporaryDir dir_;
    QProcess process_;
};

}  // namespace kerf::test
