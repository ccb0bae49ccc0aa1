#pragma once

#include <QString>
#include <QStringList>

struct Settings;

// The seven option texts handed to the engine with every file, in this order:
// overlay, snapshot-prefix=, snapshot-path=, snapshot-format=, [no-]snapshot-preview,
// snapshot-sequential, [no-]disable-screensaver. Entry 2 holds the plain folder.
[[nodiscard]] QStringList BuildEngineOptions(const Settings& settings);

inline constexpr int kSnapshotPathEntry = 2;

// "<snapshotFolder><separator><file name> Images": the file name is what follows the last
// separator of videoPath (all of it when there is none). Nothing is normalised.
[[nodiscard]] QString perVideoSnapshotFolder(const QString& snapshotFolder,
                                             const QString& videoPath);
