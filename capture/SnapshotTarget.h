#pragma once

#include <QString>

// Where and how the snapshots of the loaded video are written.
struct SnapshotTarget {
    QString folder; // the video's own folder, created with the first snapshot written there
    QString prefix;
    bool jpeg = false;
    bool preview = false;
    friend bool operator==(const SnapshotTarget&, const SnapshotTarget&) = default;
};
