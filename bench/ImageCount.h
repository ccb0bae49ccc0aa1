#pragma once

#include <QString>

struct ImageCount {
    int files = 0;
    int distinct = 0; // different pictures (pixels, not file bytes)
    int unreadable = 0;
    qint64 bytes = 0; // of all the files
    // Files (in name order) whose frame number is not the one before it plus one.
    int outOfOrder = 0;
};

// The PNG and JPG files in folder and its subfolders.
[[nodiscard]] ImageCount countImages(const QString& folder);
