#pragma once

#include <QString>
#include <QStringList>

// The video file extensions the program offers and accepts, without dots, in the order
// the open dialog lists them.
[[nodiscard]] QStringList supportedExtensionList();

// The open dialog's filter: one pair for all supported types (its description is
// allFormatsText), then one pair per extension described by its upper-case form.
// Pairs and their parts are separated by "|", patterns by ";".
[[nodiscard]] QString buildOpenFilter(const QString& allFormatsText, const QStringList& extensions);

// True when path ends in "." + one of the extensions, compared without regard to case.
[[nodiscard]] bool hasSupportedExtension(const QString& path, const QStringList& extensions);
