// Other players capturing every frame of the same clips as PNG, beside continuous capture
// in Framora: VLC 3's scene filter, mpv's each-frame screenshots, ffmpeg reading at the
// frame rate. They are installed by tools/bench.sh for this part only.
#include "bench/Report.h"

#include "bench/BenchAppFolder.h"
#include "bench/BenchStats.h"
#include "bench/ChildProcess.h"
#include "bench/ImageCount.h"
#include "bench/ReportText.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <cstring>
#include <functional>

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr double kClipSeconds = 12; // the length tools/bench.sh gives every clip
// mpv saving each frame plays far slower than real time: it is stopped after this and
// judged on the part it played.
constexpr int kMpvDeadlineMs = 36000;

struct PeerRun {
    bool ok = false;
    double completeness = 0; // distinct images ÷ frames of the clip
    int duplicates = 0;
    double wallMs = 0;
    double cpuMs = 0;
    double playedSeconds = kClipSeconds;
};

PeerRun counted(const QString& folder, double wallMs, double cpuMs, bool ok,
                double playedSeconds = kClipSeconds) {
    const ImageCount images = countImages(folder);
    QDir(folder).removeRecursively();
    return {ok && images.files > 0 && playedSeconds > 0,
            images.distinct / (playedSeconds * Report::kFps),
            images.files - images.distinct - images.unreadable,
            wallMs,
            cpuMs,
            playedSeconds};
}

// A fresh folder anyone may write into (VLC runs as another user).
QString freshFolder(const QString& path) {
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                    QFileDevice::WriteOther | QFileDevice::ExeOther);
    return path;
}

// cvlc refuses to run as root, so it runs as nobody.
PeerRun vlcScene(const QString& clip, const QString& folder, const QString& log) {
    QStringList argv;
    if (geteuid() == 0)
        argv << QStringLiteral("setpriv") << QStringLiteral("--reuid=nobody")
             << QStringLiteral("--regid=nogroup") << QStringLiteral("--clear-groups");
    argv << QStringLiteral("cvlc") << QStringLiteral("--no-audio") << QStringLiteral("--vout=dummy")
         << QStringLiteral("--video-filter=scene") << QStringLiteral("--scene-format=png")
         << QStringLiteral("--scene-ratio=1") << QStringLiteral("--scene-prefix=img")
         << QStringLiteral("--scene-path=") + folder << QStringLiteral("--play-and-exit") << clip;
    const ChildResult r = runChild(argv, {QStringLiteral("HOME=") + folder}, false, log);
    return counted(folder, r.wallMs, r.cpuMs, r.exited);
}

// Writes text to the Unix socket at path (mpv's IPC server) and returns what comes back
// within waitMs; empty when nobody listens.
QByteArray talkOverSocket(const QString& path, const QByteArray& text, int waitMs = 500) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return {};
    QByteArray reply;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
        ::write(fd, text.constData(), size_t(text.size())) == text.size()) {
        const timeval wait{waitMs / 1000, (waitMs % 1000) * 1000};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof(buffer));
        if (n > 0)
            reply = QByteArray(buffer, qsizetype(n));
    }
    ::close(fd);
    return reply;
}

// mpv starts paused, is told over its IPC socket to save every frame, then plays.
PeerRun mpvEachFrame(const QString& clip, const QString& folder, int pngLevel, const QString& log) {
    const QString socket = folder + QStringLiteral(".sock");
    QFile::remove(socket);
    QStringList argv{QStringLiteral("mpv"),
                     QStringLiteral("--no-config"),
                     QStringLiteral("--really-quiet"),
                     QStringLiteral("--pause"),
                     QStringLiteral("--vo=x11"),
                     QStringLiteral("--ao=null"),
                     QStringLiteral("--input-ipc-server=") + socket,
                     QStringLiteral("--screenshot-format=png"),
                     QStringLiteral("--screenshot-directory=") + folder,
                     QStringLiteral("--screenshot-template=%05n")};
    if (pngLevel >= 0)
        argv << QStringLiteral("--screenshot-png-compression=%1").arg(pngLevel);
    argv << clip;
    const double cpuBefore = childrenCpuMs();
    const qint64 start = monotonicNs();
    RunningChild mpv(argv, {}, log);
    // --pause takes effect when the file has loaded: the commands go in after that.
    bool ok = false;
    for (int i = 0; i < 200 && !ok && !mpv.ended(); ++i) {
        ok = talkOverSocket(socket, R"({"command": ["get_property", "duration"]})"
                                    "\n")
                 .contains(R"("error":"success")");
        if (!ok)
            QThread::msleep(50);
    }
    // One command at a time: mpv answers the first when it has saved the paused frame
    // (long at its default level), and drops what is unread when the socket closes.
    ok = ok &&
         talkOverSocket(socket,
                        R"({"command": ["screenshot", "video+each-frame"]})"
                        "\n",
                        10000)
             .contains("success") &&
         talkOverSocket(socket,
                        R"({"command": ["set_property", "pause", false]})"
                        "\n",
                        10000)
             .contains("success");
    while (ok && !mpv.ended() && (monotonicNs() - start) / 1000000 < kMpvDeadlineMs)
        QThread::msleep(20);
    double played = kClipSeconds;
    if (ok && !mpv.ended()) {
        // mpv answers between two screenshots, which take a while at its default level.
        const QByteArray reply = talkOverSocket(socket,
                                                R"({"command": ["get_property", "time-pos"]})"
                                                "\n",
                                                10000);
        played = 0;
        for (const QByteArray& text : reply.split('\n')) { // events may come before the answer
            const QJsonObject answer = QJsonDocument::fromJson(text).object();
            if (answer.contains(QStringLiteral("error")))
                played = answer.value(QStringLiteral("data")).toDouble();
        }
        (void)talkOverSocket(socket, R"({"command": ["quit"]})"
                                     "\n");
        for (int i = 0; i < 500 && !mpv.ended(); ++i)
            QThread::msleep(20);
    }
    ok = ok && mpv.ended();
    const double wallMs = double(monotonicNs() - start) / 1e6;
    QFile::remove(socket);
    return counted(folder, wallMs, childrenCpuMs() - cpuBefore, ok, played);
}

PeerRun ffmpegRealTime(const QString& clip, const QString& folder, const QString& log) {
    const ChildResult r =
        runChild({QStringLiteral("ffmpeg"), QStringLiteral("-hide_banner"),
                  QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-nostdin"),
                  QStringLiteral("-re"), QStringLiteral("-i"), clip, QStringLiteral("-fps_mode"),
                  QStringLiteral("passthrough"), folder + QStringLiteral("/%05d.png")},
                 {}, false, log);
    return counted(folder, r.wallMs, r.cpuMs, r.exited);
}

} // namespace

// VLC's X11 output, as user nobody, with a copy of the display's authority it may read.
static QStringList cvlcPlaying(const QString& clip, const QString& work, QStringList* env) {
    QStringList argv;
    if (geteuid() == 0) {
        argv << QStringLiteral("setpriv") << QStringLiteral("--reuid=nobody")
             << QStringLiteral("--regid=nogroup") << QStringLiteral("--clear-groups");
        const QString authority = qEnvironmentVariable("XAUTHORITY");
        const QString copy = QDir(work).filePath(QStringLiteral("xauthority"));
        QFile::remove(copy);
        if (!authority.isEmpty() && QFile::copy(authority, copy)) {
            QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::ReadOther);
            *env << QStringLiteral("XAUTHORITY=") + copy;
        }
    }
    *env << QStringLiteral("HOME=") + work;
    return argv << QStringLiteral("cvlc") << QStringLiteral("--aout=dummy")
                << QStringLiteral("--vout=x11") << QStringLiteral("--play-and-exit") << clip;
}

void Report::playingBesideVlc() {
    line(QString());
    line(QStringLiteral("### Playing, no capture: Framora beside VLC"));
    line(QString());
    line(QStringLiteral(
        "CPU in % of one core over 8 s, from 1.5 s after the start: the real `framora` with its "
        "default window, then `cvlc --vout=x11 --aout=dummy` (both decode the sound, neither "
        "plays it) on the same Xvfb display right "
        "after it; medians of the runs."));
    line(QString());
    line(QStringLiteral("| Size | Framora | VLC | Framora ÷ VLC |"));
    line(QStringLiteral("|---|---|---|---|"));
    Settings settings;
    settings.snapshotFolder = work(QStringLiteral("shots"));
    const BenchAppFolder folder(QFileInfo(o_.framora).absolutePath(), settings);
    const QString exe = folder.isValid() ? folder.addExecutable(o_.framora) : QString();
    const QString log = work(QStringLiteral("peers.log"));
    const QString vlcHome = freshFolder(work(QStringLiteral("vlc-home")));
    for (const QString& sizeText : o_.sizes) {
        std::vector<double> ours;
        std::vector<double> vlc;
        for (int i = 0; i < std::max(1, std::min(o_.runs, 3)); ++i) {
            ours.push_back(cpuWhileRunning({exe, clip(sizeText)}, childEnvironment(), 1500, 8000,
                                           nullptr, log));
            QStringList env;
            const QStringList argv = cvlcPlaying(clip(sizeText), vlcHome, &env);
            vlc.push_back(cpuWhileRunning(argv, env, 1500, 8000, nullptr, log));
        }
        const double ratio = median(ours) / std::max(0.1, median(vlc));
        line(QStringLiteral("| %1 | %2 | %3 | %4 |")
                 .arg(sizeText, fixed(median(ours)), fixed(median(vlc)), fixed(ratio, 2)));
        target(QStringLiteral("Playing %1: CPU at most VLC's").arg(sizeText), ratio <= 1.0,
               QStringLiteral("%1 % vs %2 %").arg(fixed(median(ours)), fixed(median(vlc))));
    }
}

void Report::peers() {
    playingBesideVlc();
    line(QString());
    line(QStringLiteral("### Every frame as PNG: Framora and other players, same clips"));
    line(QString());
    line(QStringLiteral(
        "Completeness = distinct images ÷ frames played (Framora: continuous capture for the "
        "part's seconds in its real window, as in the continuous table; the others: the whole "
        "12 s clip). VLC: `cvlc --vout=dummy --video-filter=scene --scene-format=png "
        "--scene-ratio=1` as user nobody (cvlc refuses root). mpv: `--vo=x11 --ao=null`, "
        "`screenshot video+each-frame` sent over its IPC socket before playback starts, PNG at "
        "mpv's default level or `--screenshot-png-compression=1`; it plays far slower than "
        "real time then, and is stopped after 36 s and judged on the part it played (its "
        "`time-pos`). ffmpeg: `ffmpeg -re -i clip "
        "-fps_mode passthrough` at its default PNG settings; it never drops a frame, it falls "
        "behind instead. Time ÷ clip = wall time over the length played. CPU in % of one core "
        "over the wall time. Medians of the runs."));
    line(QString());
    line(QStringLiteral(
        "| Size | Program | Completeness | Duplicates (max) | Time ÷ clip | CPU % |"));
    line(QStringLiteral("|---|---|---|---|---|---|"));
    const QString log = work(QStringLiteral("peers.log"));
    const int runs = std::max(1, std::min(o_.runs, 3));
    for (const QString& sizeText : o_.sizes) {
        const QString clipPath = clip(sizeText);
        const QString folder = freshFolder(work(QStringLiteral("peer-images")));
        struct Peer {
            QString name;
            std::function<PeerRun()> run;
        };
        const std::vector<Peer> peers = {
            {QStringLiteral("Framora, continuous PNG"),
             [&] {
                 const QJsonObject r =
                     self({QStringLiteral("continuous"), clipPath, QStringLiteral("png"),
                           QString::number(o_.seconds), QString::number(kFps), folder});
                 const double seconds = r.value(QStringLiteral("seconds")).toDouble();
                 QDir(folder).removeRecursively();
                 return PeerRun{!r.isEmpty(), r.value(QStringLiteral("completeness")).toDouble(),
                                r.value(QStringLiteral("duplicates")).toInt(),
                                seconds * 1000.0 * kClipSeconds / std::max(seconds, 0.001),
                                r.value(QStringLiteral("cpuPercent")).toDouble() * 10.0 *
                                    kClipSeconds};
             }},
            {QStringLiteral("VLC 3 scene filter"),
             [&] { return vlcScene(clipPath, freshFolder(folder), log); }},
            {QStringLiteral("mpv each-frame, default level"),
             [&] { return mpvEachFrame(clipPath, freshFolder(folder), -1, log); }},
            {QStringLiteral("mpv each-frame, level 1"),
             [&] { return mpvEachFrame(clipPath, freshFolder(folder), 1, log); }},
            {QStringLiteral("ffmpeg -re"),
             [&] { return ffmpegRealTime(clipPath, freshFolder(folder), log); }},
        };
        for (const Peer& peer : peers) {
            std::vector<double> completeness;
            std::vector<double> duplicates;
            std::vector<double> timeRatio;
            std::vector<double> cpu;
            for (int i = 0; i < runs; ++i) {
                const PeerRun r = peer.run();
                if (!r.ok)
                    continue;
                completeness.push_back(r.completeness);
                duplicates.push_back(r.duplicates);
                timeRatio.push_back(r.wallMs / (r.playedSeconds * 1000.0));
                cpu.push_back(r.cpuMs / std::max(1.0, r.wallMs) * 100.0);
            }
            if (completeness.empty()) {
                line(QStringLiteral("| %1 | %2 | did not run (see %3) | | | |")
                         .arg(sizeText, peer.name, log));
                continue;
            }
            line(QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |")
                     .arg(sizeText, peer.name, fixed(median(completeness), 2),
                          fixed(largest(duplicates), 0), fixed(median(timeRatio), 2),
                          fixed(median(cpu))));
        }
        QDir(folder).removeRecursively();
    }
}
