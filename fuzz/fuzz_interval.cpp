// Interval texts of both dialogs: any text is safe, and an accepted interval lies within
// 1000..60000 ms and is the nearest whole number to what was typed.
#include "FuzzSupport.h"
#include "capture/IntervalText.h"
#include "settings/OptionsRules.h"

#include <cmath>

static bool withinBounds(const std::optional<int>& interval) {
    return !interval || (*interval >= kMinimumInterval && *interval <= kMaximumInterval);
}

static bool plainDigits(const QString& digits) {
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

static void check(const QString& text) {
    const std::optional<int> timed = timedIntervalFromText(text);
    require(withinBounds(timed), "the timed-snapshot interval lies within 1000..60000");
    const std::optional<int> options = checkOptionsInterval(text);
    require(withinBounds(options), "the Options interval lies within 1000..60000");

    const DecimalText number = readLeadingNumber(text);
    require(plainDigits(number.wholeDigits) && plainDigits(number.fractionDigits),
            "a number is read as ASCII digits");
    require(!number.wholeDigits.startsWith(u'0') && !number.fractionDigits.endsWith(u'0'),
            "a number carries no leading or trailing zeros");

    const double value = leadingNumberValue(text);
    require(std::isfinite(value), "the leading number's value is finite");
    if (timed)
        require(std::fabs(value - *timed) <= 0.5, "the interval is the typed number rounded");
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    check(QString::fromUtf8(bytes, length));
    // Also as UTF-16 code units, which reaches unpaired surrogates and any other unit.
    check(QString(reinterpret_cast<const QChar*>(bytes), length / 2));
    return 0;
}
