#include "capture/SnapshotNaming.h"

#include <QDir>

QString snapshotFileName(const QString& prefix, int number, bool jpeg) {
    return prefix + QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0')) +
           (jpeg ? QStringLiteral(".jpg") : QStringLiteral(".png"));
}

QString snapshotFolderKey(const QString& folder) {
    return QDir::cleanPath(folder);
}

QString snapshotFilePath(const QString& folder, const QString& prefix, int number, bool jpeg) {
    QString path = snapshotFolderKey(folder);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path + snapshotFileName(prefix, number, jpeg);
}

QString snapshotNamingProblem(const QString& folder, const QString& prefix) {
    if (folder.trimmed().isEmpty())
        return QStringLiteral("Cannot write the snapshot: no snapshot folder is set");
    const bool separator = prefix.contains(QLatin1Char('/')) ||
                           prefix.contains(QLatin1Char('\\')) || prefix.contains(QChar(0));
    if (separator)
        return QStringLiteral("Cannot write the snapshot: the file prefix \"%1\" is not a "
                              "plain file name")
            .arg(prefix);
    return {};
}
