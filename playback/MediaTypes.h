#pragma once

#include "platform/Platform.h"

#include <QString>
#include <QStringList>

// The video file extensions the program offers and accepts, without dots, in the order
// the open dialog lists them.
[[nodiscard]] QStringList supportedExtensionList();

// The open dialog's filters: one for all supported types (its description is
// allFormatsText), then one per extension described by its upper-case form.
[[nodiscard]] QList<FileTypeFilter> buildOpenFilter(const QString& allFormatsText,
                                                    const QStringList& extensions);

// True when path ends in "." + one of the extensions, compared without regard to case.
[[nodiscard]] bool hasSupportedExtension(const QString& path, const QStringList& extensions);

// Why path cannot be opened as a video, empty when it can be tried. In this order: a web
// address, a path longer than the system allows, no such file, not a regular file (a
// folder, a pipe, a device, or a link to one), an extension not offered, no permission
// to read it.
[[nodiscard]] QString openRefusal(const QString& path, const QStringList& extensions);

// Playback rate of a speed step: one step slower is 0.75 of normal, one faster 1.5.
[[nodiscard]] float playbackRateForStep(int step);
