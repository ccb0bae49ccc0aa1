#pragma once

#include <QString>

// What a file is by its content, as libavformat recognises formats from the first bytes:
// enough to open a video whatever its name, and to refuse what is none before the engine
// tries.
enum class ContentKind {
    Unknown,    // no format this program knows
    Media,      // a video or sound container or stream
    StillImage, // a single picture (PNG, JPEG, ...)
    Subtitles   // a subtitle file (SubRip, WebVTT, ...)
};

// Reads at most the first 64 KiB; Unknown when the file cannot be read.
[[nodiscard]] ContentKind sniffContent(const QString& path);
// The kind of a libavformat input format, by its name.
[[nodiscard]] ContentKind kindOfFormat(const QString& formatName);
