#include "platform/FileDialogFilter.h"

// "*.avi;*.mkv" -> *.avi *.AVI *.mkv *.MKV, blanks trimmed, empties and repeats dropped.
static QStringList patternsWithUpperCase(const QString& patterns) {
    QStringList out;
    for (const QString& raw : patterns.split(QLatin1Char(';'))) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        for (const QString& variant : {pattern, pattern.toUpper()}) {
            if (!out.contains(variant))
                out << variant;
        }
    }
    return out;
}

QStringList qtNameFilters(const QString& programFilter) {
    QStringList filters;
    const QStringList parts = programFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = patternsWithUpperCase(parts.at(i + 1));
        if (patterns.isEmpty())
            continue;
        filters << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}
