#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// Which language a pack speaks, by its file name: the language's English or native name
// ("German.ini", "Deutsch.ini"); AnyLanguage when the name says none.
[[nodiscard]] QLocale::Language languageOfPack(const QString& packFile);
// The first of packFiles that speaks language; empty when none does.
[[nodiscard]] QString packForLanguage(const QStringList& packFiles, QLocale::Language language);
