#pragma once

#include <QString>

// What follows the last path separator of path ("/" everywhere, also "\" on Windows);
// all of it when there is none.
[[nodiscard]] QString fileNameOf(const QString& path);
