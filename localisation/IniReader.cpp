#include "localisation/IniReader.h"

std::optional<QString> FindIniValue(QStringView text, QStringView section, QStringView key) {
    bool inSection = false;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0)
            end = text.size();
        const QStringView line = text.sliced(pos, end - pos).trimmed();
        pos = end + 1;

        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QStringView name = close < 0 ? line.sliced(1) : line.sliced(1, close - 1);
            inSection = name.trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        if (line.first(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line.sliced(equals + 1).trimmed().toString();
    }
    return std::nullopt;
}
