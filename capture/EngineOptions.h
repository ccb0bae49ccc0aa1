#pragma once

#include "capture/SnapshotTarget.h"

#include <QString>

struct Settings;

// What goes with every file handed to the engine: where and how its snapshots are
// written, and whether the screen saver stays off while it plays.
struct EngineOptions {
    // Its folder is the plain snapshot folder until a load puts the video's own there.
    SnapshotTarget snapshot;
    bool disableScreenSaver = false;
    friend bool operator==(const EngineOptions&, const EngineOptions&) = default;
};

[[nodiscard]] EngineOptions BuildEngineOptions(const Settings& settings);

// "<snapshotFolder><separator><file name> Images": the file name is what follows the last
// separator of videoPath (all of it when there is none). Nothing is normalised.
[[nodiscard]] QString perVideoSnapshotFolder(const QString& snapshotFolder,
                                             const QString& videoPath);
