#pragma once

#include <QString>

// prefix + the number with at least five digits ("00001", "99999", "100000") + ".png" or
// ".jpg". The prefix is used as it is.
[[nodiscard]] QString snapshotFileName(const QString& prefix, int number, bool jpeg);

// The folder as the writer uses it: cleaned of doubled and trailing separators, so that
// "shots/" and "shots" name the same folder. No file-system access.
[[nodiscard]] QString snapshotFolderKey(const QString& folder);

// snapshotFolderKey(folder) + "/" + snapshotFileName(prefix, number, jpeg).
[[nodiscard]] QString snapshotFilePath(const QString& folder, const QString& prefix, int number,
                                       bool jpeg);

// Why a request cannot name a file at all, or an empty text when it can. A prefix with a
// folder separator would put the file outside the folder.
[[nodiscard]] QString snapshotNamingProblem(const QString& folder, const QString& prefix);
