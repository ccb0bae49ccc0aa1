#include "folderbrowse/FolderBrowseError.h"

static QString describe(int number, const QString& property) {
    const QString reason = number == FolderBrowseError::SetNotSupportedAtRunTime
                               ? QStringLiteral("Set not supported at run time")
                               : QStringLiteral("Set not permitted");
    return QStringLiteral("%1 (error %2): %3 is read-only").arg(reason).arg(number).arg(property);
}

FolderBrowseError::FolderBrowseError(int number, const QString& property)
    : number_(number), property_(property), message_(describe(number, property).toStdString()) {}
