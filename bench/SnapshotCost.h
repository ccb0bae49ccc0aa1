#pragma once

#include <QString>

// One snapshot after another of a paused frame through the libVLC engine: the wall time
// from the request to the engine's report that the file is complete, and this process's
// CPU time meanwhile. Writes the frame itself as raw RGB24 beside the snapshots (for
// ffmpeg to encode the same picture) and prints a JSON object on standard output.
int runSnapshotCost(const QString& clip, bool jpeg, int runs, const QString& outDir);
