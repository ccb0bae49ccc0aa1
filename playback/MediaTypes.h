#pragma once

#include "platform/Platform.h"

#include <QString>
#include <QStringList>

// The video file extensions the program offers, without dots, in the order the open
// dialog lists them. A file of another name is opened when its content is a video.
[[nodiscard]] QStringList supportedExtensionList();

// The open dialog's filters: one for all supported types (its description is
// allFormatsText), then one per extension described by its upper-case form, and last one
// for any file (allFilesText).
[[nodiscard]] QList<FileTypeFilter> buildOpenFilter(const QString& allFormatsText,
                                                    const QStringList& extensions,
                                                    const QString& allFilesText);

// True when path ends in "." + one of the extensions, compared without regard to case.
[[nodiscard]] bool hasSupportedExtension(const QString& path, const QStringList& extensions);

// Playback rate of a speed step: one step slower is 0.75 of normal, one faster 1.5.
[[nodiscard]] float playbackRateForStep(int step);
