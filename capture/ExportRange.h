#pragma once

#include <QtGlobal>

// A stretch of a video in milliseconds, both ends included.
struct ExportRange {
    qint64 fromMs = 0;
    qint64 toMs = 0;
    friend bool operator==(const ExportRange&, const ExportRange&) = default;
};

// The stretch the marks stand for: a missing mark (negative) is the start or the end of the
// video, marks set the wrong way round are swapped, and the range lies within the video
// (lengthMs <= 0: the length is not known, the end stays open).
[[nodiscard]] ExportRange exportRangeFor(qint64 markIn, qint64 markOut, qint64 lengthMs);
