#pragma once

#include <QString>
#include <QStringList>

// The program describes open-file filters the Windows way: "description|pattern;pattern|
// description|pattern". Qt wants one "description (pattern pattern)" entry per pair.
// File names are case-sensitive here, so each lower-case pattern also gets its upper-case
// twin: Clip.AVI must be offered under "*.avi" as it is on Windows.
// An incomplete last pair (a description without patterns) is dropped.
[[nodiscard]] QStringList qtNameFilters(const QString& programFilter);
