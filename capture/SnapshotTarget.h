#pragma once

#include <QString>

// Where and how the snapshots of the loaded video are written.
struct SnapshotTarget {
    QString folder; // the video's own folder, created with the first snapshot written there
    QString prefix;
    bool jpeg = false;
    bool preview = false;
    QString video = {}; // the video's file name, written into each image
    friend bool operator==(const SnapshotTarget&, const SnapshotTarget&) = default;
};
