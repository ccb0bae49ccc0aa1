#pragma once

#include "playback/media/ContentSniff.h"

#include <QString>
#include <QStringList>

// Why path cannot be opened as a video, empty when it can be tried. In this order: a web
// address, a path longer than the system allows, no such file, not a regular file (a
// folder, a pipe, a device, or a link to one), no permission to read it, and, for a name
// of none of the extensions, content that is no video (a still picture, subtitles, or
// nothing this program knows). content, when given, gets what the content was found to be
// (Unknown when it was not looked at).
[[nodiscard]] QString openRefusal(const QString& path, const QStringList& extensions,
                                  ContentKind* content = nullptr);

// Why path cannot be added as subtitles, empty when it can: not a regular readable file,
// larger than any subtitle file (a video chosen by mistake), or content that is no
// subtitle format this program reads.
[[nodiscard]] QString subtitleRefusal(const QString& path);
