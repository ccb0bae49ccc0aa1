#include "capture/IntervalText.h"

#include <QLocale>
#include <limits>

static bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

DecimalText readLeadingNumber(const QString& text) {
    QString whole;
    QString fraction;
    bool negative = false;
    bool signAllowed = true;
    bool inFraction = false;
    for (const QChar c : text) {
        if (isBlank(c))
            continue;
        if (signAllowed && (c == QLatin1Char('+') || c == QLatin1Char('-'))) {
            negative = c == QLatin1Char('-');
            signAllowed = false;
            continue;
        }
        signAllowed = false;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            (inFraction ? fraction : whole).append(c);
        } else if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
        } else {
            break;
        }
    }
    return makeDecimalText(negative, whole, fraction);
}

double leadingNumberValue(const QString& text) {
    const DecimalText number = readLeadingNumber(text);
    constexpr double largest = std::numeric_limits<double>::max();
    // Past 309 digits every value is beyond the double range; the fraction adds nothing
    // a double could hold after 40 digits.
    double value = largest;
    if (number.wholeDigits.size() <= 309) {
        const QString digits =
            (number.wholeDigits.isEmpty() ? QStringLiteral("0") : number.wholeDigits) +
            QLatin1Char('.') + number.fractionDigits.left(40) + QLatin1Char('0');
        bool ok = false;
        value = QLocale::c().toDouble(digits, &ok);
        if (!ok || !(value <= largest))
            value = largest;
    }
    return number.negative ? -value : value;
}

std::optional<int> timedIntervalFromText(const QString& text) {
    return intervalFromDecimal(readLeadingNumber(text));
}
