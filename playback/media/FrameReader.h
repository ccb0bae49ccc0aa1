#pragma once

#include "playback/media/VideoColours.h"
#include "playback/media/VideoFrame.h"

#include <QString>

#include <memory>
#include <optional>

class FrameIndex;

// Decodes the video of a file frame by frame with libavformat and libavcodec, each frame
// with its number and time from the file's frame index (none where the index does not know
// it). Frames keep the decoder's YUV with the colours of the pictures on screen, say how
// to turn them upright and carry the size they are meant to be seen at. Not thread-safe: one thread
// at a time; slow, so never on the user-interface thread.
class FrameReader {
public:
    // index: the file's frame index (the media service's); without one the reader reads
    // every packet of the file first to make its own. decoderThreads: 1 decodes with the
    // least delay (a step at a time), 0 lets the decoder use every core (a long run).
    explicit FrameReader(const QString& path, std::shared_ptr<const FrameIndex> index = {},
                         int decoderThreads = 1);
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    [[nodiscard]] bool isOpen() const;
    // Frames per second, 0 when the file does not tell.
    [[nodiscard]] double framesPerSecond() const;
    [[nodiscard]] qint64 durationMs() const;
    // The video's coding, as ffmpeg names it ("h264", "hevc"); empty when not open.
    [[nodiscard]] QString codecName() const;
    [[nodiscard]] const FrameIndex& index() const;

    // Positions the reader so that next() returns the frame on screen at timeMs: the last
    // one that starts at or before it (the first frame for a time before the start).
    bool seek(qint64 timeMs);
    // ... or frame number n.
    bool seekToFrame(qint64 number);
    // The next frame in presentation order; nothing at the end or when decoding fails.
    [[nodiscard]] std::optional<VideoFrame> next();

private:
    struct State;
    std::unique_ptr<State> d_;
};
