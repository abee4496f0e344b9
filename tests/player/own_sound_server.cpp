#include "own_sound_server.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace kerf::test {

OwnSoundServer::OwnSoundServer() {
    QDir(dir_.path()).mkpath(QStringLiteral("runtime"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir_.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.filePath(QStringLiteral("runtime")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.path());
    env.remove(QStringLiteral("PULSE_SERVER"));
    process_.setProcessEnvironment(env);
    process_.start(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
         QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
         QStringLiteral("--log-target=file:%1").arg(dir_.filePath(QStringLiteral("log"))),
         QStringLiteral("--load=module-null-sink sink_name=kerf_null rate=44100 channels=2 "
                        "format=s16le"),
         QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=%1")
             .arg(socket())});
}

OwnSoundServer::~OwnSoundServer() { kill(); }

QString OwnSoundServer::socket() const { return dir_.filePath(QStringLiteral("native")); }

QString OwnSoundServer::server() const { return QStringLiteral("unix:") + socket(); }

bool OwnSoundServer::answers() const {
    QProcess pactl;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_SERVER"), server());
    pactl.setProcessEnvironment(env);
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished(3000) && pactl.exitCode() == 0;
}

void OwnSoundServer::kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();
    process_.waitForFinished(5000);
}

QString OwnSoundServer::log() const {
    QFile f(dir_.filePath(QStringLiteral("log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace kerf::test
