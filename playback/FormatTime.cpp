#include "playback/FormatTime.h"

namespace {
QString twoDigits(long long value) {
    return (value < 10 ? QStringLiteral("0") : QString()) + QString::number(value);
}
} // namespace

QString FormatTime(long long seconds) {
    const long long h = seconds / 3600;
    const long long rest = seconds - 3600 * h;
    const long long m = rest / 60;
    const long long s = rest - 60 * m;
    return twoDigits(h) + QLatin1Char(':') + twoDigits(m) + QLatin1Char(':') + twoDigits(s);
}
