#pragma once

#include <QString>
#include <QStringList>

// How snapshots of one playlist item are written and whether it keeps the screen saver
// off, read from the option texts handed over with the item. The options are honoured
// here rather than passed to libVLC, whose own snapshot options apply per instance only.
struct ItemOptions {
    QString snapshotFolder;
    QString snapshotPrefix;
    bool jpeg = false;
    bool preview = false;
    bool disableScreenSaver = false;
};

// Reads "snapshot-path=", "snapshot-prefix=", "snapshot-format=PNG|JPG",
// "[no-]snapshot-preview" and "[no-]disable-screensaver" (option names in any case, an
// optional leading ":" or "--"). Other options are ignored; a later entry wins.
[[nodiscard]] ItemOptions parseItemOptions(const QStringList& options);
