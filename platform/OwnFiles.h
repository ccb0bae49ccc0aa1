#pragma once

#include <QByteArray>
#include <QString>

// The program's own files (Config.cfg, errorlog.txt) are written as files of their own: a
// symbolic link in their place is replaced by a regular file, never followed, so nothing
// outside the program's folder can be written through one.

// Writes bytes into a new file beside path and renames it over path, so that a failure
// leaves the old file as it was. False, with the reason in *error when given, on failure.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Makes the folder and any missing folder above it. False, with which folder could not be
// made and why in *error when given, on failure.
bool makeFolder(const QString& path, QString* error = nullptr);

// Appends bytes to path, creating it when missing. False when it cannot.
bool appendToFile(const QString& path, const QByteArray& bytes);
