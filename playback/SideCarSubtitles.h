#pragma once

#include <QString>
#include <QStringList>

// The name endings of subtitle files, without dots.
[[nodiscard]] QStringList subtitleExtensions();

// The subtitle files beside a video that belong to it, as players find them: in the same
// folder, named as the video up to its extension and perhaps more ("film.srt",
// "film.en.srt", "Film.forced.ass"), sorted by name.
[[nodiscard]] QStringList sideCarSubtitles(const QString& videoPath);
