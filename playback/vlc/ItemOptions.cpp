#include "playback/vlc/ItemOptions.h"

static QString withoutLead(const QString& option) {
    if (option.startsWith(QLatin1String("--")))
        return option.mid(2);
    if (option.startsWith(QLatin1Char(':')))
        return option.mid(1);
    return option;
}

// Sets flag for "name" or "no-name"; false when the option is neither.
static bool readSwitch(const QString& option, QLatin1String name, bool* flag) {
    if (option.compare(name, Qt::CaseInsensitive) == 0) {
        *flag = true;
        return true;
    }
    if (option.size() == name.size() + 3 &&
        option.startsWith(QLatin1String("no-"), Qt::CaseInsensitive) &&
        option.mid(3).compare(name, Qt::CaseInsensitive) == 0) {
        *flag = false;
        return true;
    }
    return false;
}

ItemOptions parseItemOptions(const QStringList& options) {
    ItemOptions result;
    for (const QString& entry : options) {
        const QString option = withoutLead(entry);
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (equals > 0) {
            const QString name = option.left(equals);
            const QString value = option.mid(equals + 1);
            if (name.compare(QLatin1String("snapshot-path"), Qt::CaseInsensitive) == 0)
                result.snapshotFolder = value;
            else if (name.compare(QLatin1String("snapshot-prefix"), Qt::CaseInsensitive) == 0)
                result.snapshotPrefix = value;
            else if (name.compare(QLatin1String("snapshot-format"), Qt::CaseInsensitive) == 0)
                result.jpeg =
                    value.trimmed().compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0 ||
                    value.trimmed().compare(QLatin1String("jpeg"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (readSwitch(option, QLatin1String("snapshot-preview"), &result.preview))
            continue;
        (void)readSwitch(option, QLatin1String("disable-screensaver"), &result.disableScreenSaver);
    }
    return result;
}
