#pragma once

#include "playback/media/VideoColours.h"

#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// What libavformat reads from a media file beyond what libVLC 3 tells: the colour
// description of each video stream, HDR levels included.
struct VideoStreamFacts {
    int index = -1;
    QSize size; // as coded, before any rotation
    ColourTags colours;
    double framesPerSecond = 0; // 0 when unknown
    int bitDepth = 8;
    bool isDefault = false;
};

struct MediaFacts {
    bool readable = false; // libavformat could open the file and find its streams
    std::vector<VideoStreamFacts> videoStreams;
};

class FrameIndex;

// Reads the file's header and, where the container does not say, the first packets of
// each stream, and tells onFacts; then, with an index, the same demuxer reads every packet
// of the video stream our own decoder decodes into it (one opening of the file for both).
// The facts are given up after probeTimeoutMs (a file on a stalled network share), the
// index whenever stop() says so; anything that is not a regular file is not read at all.
// onFacts is called once, whatever happens; the index is finished. Safe on any thread;
// slow, so not on the user-interface thread.
void readMedia(const QString& path, int probeTimeoutMs, const std::function<bool()>& stop,
               const std::function<void(const MediaFacts&)>& onFacts,
               const std::shared_ptr<FrameIndex>& index);
[[nodiscard]] MediaFacts probeMedia(const QString& path, int timeoutMs = 5000);

struct AVStream;
// The frame rate a libavformat stream declares; 0 when it gives none a video could have.
[[nodiscard]] double framesPerSecondOf(const AVStream& stream);

// The stream a decoded picture of pictureSize (coded size, perhaps padded) most likely
// comes from: the one of that size, else the default stream, else the first. Null when
// there is no video stream.
[[nodiscard]] const VideoStreamFacts* streamForPicture(const MediaFacts& facts, QSize pictureSize);
