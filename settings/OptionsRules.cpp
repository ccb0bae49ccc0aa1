#include "settings/OptionsRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

static bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

DecimalText makeDecimalText(bool negative, QStringView wholeDigits, QStringView fractionDigits) {
    qsizetype first = 0;
    while (first < wholeDigits.size() && wholeDigits[first] == QLatin1Char('0'))
        ++first;
    qsizetype end = fractionDigits.size();
    while (end > 0 && fractionDigits[end - 1] == QLatin1Char('0'))
        --end;
    DecimalText number;
    number.wholeDigits = wholeDigits.mid(first).toString();
    number.fractionDigits = fractionDigits.first(end).toString();
    // Minus zero is zero.
    number.negative =
        negative && !(number.wholeDigits.isEmpty() && number.fractionDigits.isEmpty());
    return number;
}

std::optional<int> intervalFromDecimal(const DecimalText& number) {
    // Five digits cover the upper bound; more can only be out of range (and too big for int).
    if (number.negative || number.wholeDigits.size() > 5)
        return std::nullopt;
    const int whole = number.wholeDigits.isEmpty() ? 0 : number.wholeDigits.toInt();
    const bool hasFraction = !number.fractionDigits.isEmpty();
    if (whole < kMinimumInterval || whole > kMaximumInterval ||
        (whole == kMaximumInterval && hasFraction))
        return std::nullopt;
    if (!hasFraction)
        return whole;
    const QChar firstDigit = number.fractionDigits.front();
    if (firstDigit > QLatin1Char('5'))
        return whole + 1;
    if (firstDigit < QLatin1Char('5'))
        return whole;
    // Trailing zeros are gone, so any further digit puts the value above the half.
    if (number.fractionDigits.size() > 1)
        return whole + 1;
    return whole % 2 == 0 ? whole : whole + 1;
}

std::optional<int> checkOptionsInterval(const QString& text) {
    const QString trimmed = text.trimmed();
    const QStringView view(trimmed);
    qsizetype i = 0;
    bool negative = false;
    if (i < view.size() && (view[i] == QLatin1Char('+') || view[i] == QLatin1Char('-'))) {
        negative = view[i] == QLatin1Char('-');
        ++i;
    }
    const qsizetype wholeStart = i;
    while (i < view.size() && isAsciiDigit(view[i]))
        ++i;
    const QStringView whole = view.sliced(wholeStart, i - wholeStart);
    QStringView fraction;
    if (i < view.size() && view[i] == QLatin1Char('.')) {
        const qsizetype fractionStart = ++i;
        while (i < view.size() && isAsciiDigit(view[i]))
            ++i;
        fraction = view.sliced(fractionStart, i - fractionStart);
    }
    if (i != view.size() || (whole.isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    return intervalFromDecimal(makeDecimalText(negative, whole, fraction));
}

bool isPortableFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    static const QString forbidden = QStringLiteral("<>:\"/\\|?*");
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (forbidden.contains(c) || c.unicode() < 0x20 || c.category() == QChar::Other_Control)
            return false;
        // Half a surrogate pair cannot be written to any file system as it stands.
        if (c.isHighSurrogate()) {
            if (i + 1 >= name.size() || !name[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    // Windows drops a trailing blank or dot, so such a name would not survive a copy there.
    const QChar last = name.back();
    return last != QLatin1Char(' ') && last != QLatin1Char('.');
}

PrefixCheck checkSnapshotPrefix(const QString& prefix) {
    // Characters, not UTF-16 units: a letter beyond the basic plane counts once.
    if (prefix.toUcs4().size() > kMaximumPrefixLength)
        return PrefixCheck::TooLong;
    // A leading blank would not survive Config.cfg, whose reader trims its lines.
    if (!isPortableFileName(prefix) || prefix.startsWith(QLatin1Char(' ')))
        return PrefixCheck::NotAFileName;
    // Try the name where it cannot meet an existing file. Without a temporary folder the
    // rules above have to do.
    QTemporaryDir probeFolder;
    if (probeFolder.isValid()) {
        QFile probe(probeFolder.filePath(prefix));
        if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return PrefixCheck::NotAFileName;
        probe.close();
        probe.remove();
    }
    return PrefixCheck::Usable;
}

QString snapshotFolderProblem(const QString& folder, const QString& example) {
    if (!QDir::isAbsolutePath(folder))
        return QStringLiteral("The snapshots path must be a full path, such as %1")
            .arg(QDir::toNativeSeparators(example));
    if (folder != folder.trimmed())
        return QStringLiteral("The snapshots path cannot begin or end with a blank: \"%1\"")
            .arg(QDir::toNativeSeparators(folder));
    return {};
}
