#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

enum class RenameOutcome { Renamed, TargetExists, Failed };

// Moves a file to a new name in the same folder, but never over an existing file, not
// even one that appears at the last moment. error gets the reason of a failure.
[[nodiscard]] RenameOutcome renameWithoutReplacing(const QString& from, const QString& to,
                                                   QString* error);

// A snapshot's bytes under a hidden name beside its final one (".IMG_00001.png.part"). The
// file is removed again when the object goes away before it was committed, so a failure
// at any step leaves nothing behind.
class SnapshotPartFile {
public:
    SnapshotPartFile() = default;
    ~SnapshotPartFile();
    SnapshotPartFile(const SnapshotPartFile&) = delete;
    SnapshotPartFile& operator=(const SnapshotPartFile&) = delete;

    // Creates the hidden file for finalPath (a new one; a name in use gets a counter) and
    // writes all of bytes to it.
    [[nodiscard]] bool write(const QString& finalPath, const QByteArray& bytes, QString* error);
    [[nodiscard]] RenameOutcome commitAs(const QString& finalPath, QString* error);
    // Empty when there is nothing to clean up (not written yet, removed, or committed).
    [[nodiscard]] const QString& path() const { return path_; }
    void remove();

private:
    QString path_;
};

// Removes hidden snapshot files (".IMG_00005.png.part") last written more than
// olderThanSeconds ago: what a crash or a power cut left in the middle of writing. Younger
// ones may be another program's snapshots in progress and are left alone.
void removeStalePartFiles(const QString& folder, int olderThanSeconds);

struct SnapshotCommit {
    QString path;   // the final file; empty on failure
    QString error;  // a reason naming the file
    int number = 0; // of the final file, or the last one tried
};

// Writes bytes and moves them to pathFor(number). When another program has taken that
// name meanwhile, renumber(taken) must settle the taken number and give the next one to
// try (0: none left). Nothing is left behind on failure.
[[nodiscard]] SnapshotCommit commitSnapshotFile(const QByteArray& bytes, int number,
                                                const std::function<QString(int)>& pathFor,
                                                const std::function<int(int)>& renumber);
