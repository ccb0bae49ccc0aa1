#pragma once

#include <QString>

// What follows the last path separator of path ("/" everywhere, also "\" on Windows);
// all of it when there is none.
[[nodiscard]] QString fileNameOf(const QString& path);

class QUrl;

// Whether a local file's address names it in text that leads back to the file. A name that
// is not valid in the system's encoding (bytes that are no UTF-8, from another system)
// cannot be opened by its text at all.
[[nodiscard]] bool localNameIsText(const QUrl& url);
