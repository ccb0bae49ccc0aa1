#pragma once

#include <QString>

// One export from fromMs to toMs of the clip into outDir, as the Export Frames dialog runs
// it, then the files read back; prints a JSON object (frames written, problem, wall and
// CPU time, files, duplicates, unreadable, out of order) on standard output. choice: which
// frames, "" for every one, "interval:<seconds>", "evenly:<count>", "scenes:<sensitivity>"
// or "sheet:<columns>x<rows>".
int runExport(const QString& clip, qint64 fromMs, qint64 toMs, bool jpeg, const QString& outDir,
              const QString& choice = {});
