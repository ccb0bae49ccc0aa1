#pragma once

#include "playback/vlc/VlcEngine.h"

#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <memory>

// addTarget modes: replace and start, replace only.
constexpr int kReplaceAndGo = 10;
constexpr int kReplace = 2;

// Generous: CI machines are slow and shared.
constexpr int kDeadline = 20000;

// Makes the named clips into folder with tools/make-test-clips.sh (see there for the
// names). Empty on success, otherwise why the clips could not be made.
[[nodiscard]] QString makeTestClips(const QString& folder, const QStringList& names);

// libVLC without a display or a sound card; the video still goes to memory.
inline std::unique_ptr<VlcEngine> headlessEngine() {
    return std::make_unique<VlcEngine>(
        QStringList{QStringLiteral("--vout=dummy"), QStringLiteral("--aout=dummy")});
}

// Starts the clip and waits until it plays with a picture on screen.
[[nodiscard]] inline bool startPlaying(VlcEngine& engine, const QString& clip,
                                       const QStringList& options = {}) {
    engine.addTarget(clip, options, kReplaceAndGo, 0);
    return QTest::qWaitFor([&] { return engine.Playing() && !engine.currentFrame().isNull(); },
                           kDeadline);
}

// The two calls the main window makes for one snapshot.
[[nodiscard]] inline bool requestSnapshot(VlcEngine& engine) {
    return engine.setVariable(QStringLiteral("key-snapshot"), 83) &&
           engine.setVariable(QStringLiteral("key-pressed"), 83);
}

// The seven option texts the main window hands over with every file.
inline QStringList itemOptions(const QString& folder,
                               const QString& prefix = QStringLiteral("IMG_"), bool jpeg = false,
                               bool preview = false, bool disableScreenSaver = false) {
    return {QStringLiteral("overlay"),
            QStringLiteral("snapshot-prefix=") + prefix,
            QStringLiteral("snapshot-path=") + folder,
            QStringLiteral("snapshot-format=") +
                (jpeg ? QStringLiteral("JPG") : QStringLiteral("PNG")),
            (preview ? QString() : QStringLiteral("no-")) + QStringLiteral("snapshot-preview"),
            QStringLiteral("snapshot-sequential"),
            (disableScreenSaver ? QString() : QStringLiteral("no-")) +
                QStringLiteral("disable-screensaver")};
}
