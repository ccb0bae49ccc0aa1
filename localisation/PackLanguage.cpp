#include "localisation/PackLanguage.h"

#include <QFileInfo>

QLocale::Language languageOfPack(const QString& packFile) {
    const QString name = QFileInfo(packFile).completeBaseName();
    if (name.isEmpty())
        return QLocale::AnyLanguage;
    for (int l = QLocale::C + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = static_cast<QLocale::Language>(l);
        if (name.compare(QLocale::languageToString(language), Qt::CaseInsensitive) == 0 ||
            name.compare(QLocale(language).nativeLanguageName(), Qt::CaseInsensitive) == 0)
            return language;
    }
    return QLocale::AnyLanguage;
}

QString packForLanguage(const QStringList& packFiles, QLocale::Language language) {
    for (const QString& pack : packFiles) {
        if (languageOfPack(pack) == language)
            return pack;
    }
    return {};
}
