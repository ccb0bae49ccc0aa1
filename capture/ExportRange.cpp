#include "capture/ExportRange.h"

#include <algorithm>
#include <limits>

ExportRange exportRangeFor(qint64 markIn, qint64 markOut, qint64 lengthMs) {
    const qint64 end = lengthMs > 0 ? lengthMs : std::numeric_limits<qint64>::max();
    qint64 from = markIn >= 0 ? markIn : 0;
    qint64 to = markOut >= 0 ? markOut : end;
    if (to < from)
        std::swap(from, to);
    return {std::clamp<qint64>(from, 0, end), std::clamp<qint64>(to, 0, end)};
}
