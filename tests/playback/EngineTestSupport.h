#pragma once

#include <QString>
#include <QStringList>

// libVLC without a display or a sound card; the video still goes to memory.
inline QStringList headlessEngineArguments() {
    return {QStringLiteral("--vout=dummy"), QStringLiteral("--aout=dummy")};
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

// addTarget modes: replace and start, replace only.
constexpr int kReplaceAndGo = 10;
constexpr int kReplace = 2;

// Generous: CI machines are slow and shared.
constexpr int kDeadline = 20000;
