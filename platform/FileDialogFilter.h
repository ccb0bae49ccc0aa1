#pragma once

#include "platform/Platform.h"

#include <QStringList>

// Qt's form of the filters: one "description (pattern pattern)" entry each. File names are
// case-sensitive here, so each lower-case pattern also gets its upper-case twin: Clip.AVI
// must be offered under "*.avi" as it is on Windows. Filters without patterns are dropped.
[[nodiscard]] QStringList qtNameFilters(const QList<FileTypeFilter>& filters);
