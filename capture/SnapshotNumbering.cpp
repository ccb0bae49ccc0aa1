#include "capture/SnapshotNumbering.h"

#include "capture/SnapshotNaming.h"

#include <QFileInfo>
#include <algorithm>

// A dangling link or a folder of that name blocks the name as well as a file does.
static bool nameTaken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

SnapshotNumbering::Cursor& SnapshotNumbering::cursor(const QString& folder, const QString& prefix,
                                                     bool jpeg) {
    return cursors_[Key{snapshotFolderKey(folder), prefix, jpeg}];
}

int SnapshotNumbering::reserve(const QString& folder, const QString& prefix, bool jpeg) {
    Cursor& c = cursor(folder, prefix, jpeg);
    for (int number = c.next; number > 0 && number < INT_MAX; ++number) {
        if (c.reserved.contains(number) ||
            nameTaken(snapshotFilePath(folder, prefix, number, jpeg)))
            continue;
        c.reserved.insert(number);
        c.next = number + 1;
        return number;
    }
    return 0;
}

void SnapshotNumbering::settle(const QString& folder, const QString& prefix, bool jpeg,
                               int number) {
    Cursor& c = cursor(folder, prefix, jpeg);
    c.reserved.erase(number);
    c.highestWritten = std::max(c.highestWritten, number);
    lowerAfterRelease(c);
}

void SnapshotNumbering::release(const QString& folder, const QString& prefix, bool jpeg,
                                int number) {
    Cursor& c = cursor(folder, prefix, jpeg);
    c.reserved.erase(number);
    c.lowestReleased = std::min(c.lowestReleased, number);
    lowerAfterRelease(c);
}

// A released number is reused only above every number still reserved or already written,
// so that files keep following the order of their frames.
void SnapshotNumbering::lowerAfterRelease(Cursor& c) {
    if (c.lowestReleased == INT_MAX)
        return;
    const int highestReserved = c.reserved.empty() ? 0 : *c.reserved.rbegin();
    const int floor = std::max(highestReserved, c.highestWritten) + 1;
    const int candidate = std::max(c.lowestReleased, floor);
    c.next = std::min(c.next, candidate);
    if (c.lowestReleased >= floor)
        c.lowestReleased = INT_MAX;
}
