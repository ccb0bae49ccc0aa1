#pragma once

#include "playback/media/MediaService.h"
#include "playback/vlc/VlcEngine.h"

#include <QDir>
#include <QProcess>
#include <QTest>

#include <memory>

// Generous: CI machines are slow and shared.
constexpr int kDeadline = 20000;

// Makes the named clips into folder with tools/make-test-clips.sh (see there for the
// names). Empty on success, otherwise why the clips could not be made.
[[nodiscard]] inline QString makeTestClips(const QString& folder, const QStringList& names) {
    const QString source =
        qEnvironmentVariable("FRAMORA_SOURCE_DIR", QStringLiteral(FRAMORA_TEST_SOURCE_DIR));
    const QString script = QDir(source).filePath(QStringLiteral("tools/make-test-clips.sh"));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("sh"), QStringList{script, folder} + names);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return script + QStringLiteral(" failed: ") + QString::fromLocal8Bit(process.readAll());
    return {};
}

// libVLC without a display or a sound card; the video still goes to memory.
inline std::unique_ptr<VlcEngine> headlessEngine(MediaService& media) {
    return std::make_unique<VlcEngine>(
        media, QStringList{QStringLiteral("--vout=dummy"), QStringLiteral("--aout=dummy")});
}

// Starts the clip and waits until it plays with a picture on screen.
[[nodiscard]] inline bool startPlaying(VlcEngine& engine, const QString& clip,
                                       bool keepScreenAwake = false) {
    engine.setKeepScreenAwake(keepScreenAwake);
    engine.load(clip, LoadMode::ReplaceAndPlay);
    return QTest::qWaitFor([&] { return engine.Playing() && !engine.currentFrame().isNull(); },
                           kDeadline);
}
