#include "platform/FileDialogFilter.h"

QStringList qtNameFilters(const QList<FileTypeFilter>& filters) {
    QStringList out;
    for (const FileTypeFilter& filter : filters) {
        QStringList patterns;
        for (const QString& pattern : filter.patterns) {
            for (const QString& variant : {pattern.trimmed(), pattern.trimmed().toUpper()}) {
                if (!variant.isEmpty() && !patterns.contains(variant))
                    patterns << variant;
            }
        }
        if (!patterns.isEmpty())
            out << filter.description.trimmed() + QStringLiteral(" (") +
                       patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}
