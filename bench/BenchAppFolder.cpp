#include "bench/BenchAppFolder.h"

#include "settings/ConfigFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

static bool copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files);
    while (it.hasNext()) {
        it.next();
        if (!QFile::copy(it.filePath(), to + QLatin1Char('/') + it.fileName()))
            return false;
    }
    return true;
}

BenchAppFolder::BenchAppFolder(const QString& buildAppFolder, const Settings& settings) {
    if (!dir_.isValid())
        return;
    const QDir build(buildAppFolder);
    bool ok =
        copyTree(build.filePath(QStringLiteral("Lang")), dir_.filePath(QStringLiteral("Lang")));
    for (const QString& name :
         build.entryList({QStringLiteral("*.skf"), QStringLiteral("*.html")}, QDir::Files))
        ok = ok && QFile::copy(build.filePath(name), dir_.filePath(name));
    valid_ = ok && SaveConfiguration(dir_.filePath(QStringLiteral("Config.cfg")), settings);
}

QString BenchAppFolder::addExecutable(const QString& executable) const {
    const QString target = dir_.filePath(QFileInfo(executable).fileName());
    if (::link(QFile::encodeName(executable).constData(), QFile::encodeName(target).constData()) ==
            0 ||
        QFile::copy(executable, target))
        return target;
    return {};
}
