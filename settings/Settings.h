#pragma once

#include <QString>
#include <cstdint>

// The folder snapshots go to until the user picks one: "C:\" on Windows, the user's
// Pictures folder elsewhere.
[[nodiscard]] QString defaultSnapshotFolder();

// The program-wide settings, persisted in Config.cfg. One instance, owned by the
// application object and passed by reference.
struct Settings {
    std::uint8_t imageFormat = 0; // 0 PNG, any other value JPG
    QString snapshotFolder = defaultSnapshotFolder();
    QString filePrefix = QStringLiteral("IMG_");
    std::uint8_t skipTimedPrompt = 0;
    std::int32_t timedInterval = 5000; // milliseconds
    std::int16_t showPreview = 0;
    std::int16_t disableScreenSaver = 1;
    QString languageFile = QStringLiteral("English.ini");

    friend bool operator==(const Settings&, const Settings&) = default;
};
