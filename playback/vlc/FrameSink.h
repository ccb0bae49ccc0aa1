#pragma once

#include "playback/media/ColourConversion.h"
#include "playback/media/MediaProbe.h"
#include "playback/media/VideoFrame.h"
#include "playback/media/YuvPicture.h"
#include "playback/vlc/VlcHandles.h"

#include <QSize>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Takes libVLC's decoded pictures through its video memory callbacks and keeps the one
// shown last as the latest frame. Pictures arrive in the decoder's own YUV format and stay
// so: a frame is the planes libVLC wrote, with the conversion the file's colour
// description calls for (libVLC's own converter would use BT.601 for everything), and is
// made into an image only where one is needed, at the size it is needed (the screen, a
// snapshot). Formats we do not convert arrive as RGB from libVLC, as before.
// The callbacks run on libVLC's video output thread, which here only hands out buffers
// and publishes them; readers on any thread get a frame that shares a buffer nobody
// writes to any more, so the lock is held only to swap or copy a handle.
class FrameSink {
public:
    // frameReady is called on libVLC's thread when a new frame was published and the
    // previous call has been acknowledged, so at most one notification is in flight.
    // Buffers of frames still held elsewhere (on screen, being written) stay theirs;
    // maxBuffers are kept for reuse, more are made while frames are held (a capture
    // backlog, bounded by the capture's memory budget) and given back as they come free.
    // facts tells the file's colours; the first picture waits a moment for it. warn
    // hears, on libVLC's thread, of colour tags that were nonsense and ignored.
    FrameSink(std::function<void()> frameReady, std::size_t maxBuffers,
              std::shared_future<MediaFacts> facts, std::function<void(const QString&)> warn = {});
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    // Routes the player's video here. The media's selected track gives the visible size.
    void attach(libvlc_media_player_t* player, libvlc_media_t* media);

    // The picture published last; equal serials mean the same picture.
    [[nodiscard]] VideoFrame latest() const;
    // The notified frame was taken; the next published frame may notify again.
    void acknowledge();
    // No more frames are published nor notified (the player is being shut down).
    void deactivate();

private:
    struct Buffer;
    // What libVLC was asked to draw: planar YUV of ours (with its conversion) or RV32.
    struct Layout {
        YuvPicture planes; // format, size and pitches; no plane pointers
        std::array<int, 3> rows{};
        bool yuv = false;
        bool swappedChroma = false; // YV12: Cr before Cb
        std::shared_ptr<const ColourConversion> conversion;
        qsizetype bytes = 0;
    };

    static unsigned formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines);
    static void cleanupCallback(void* opaque);
    static void* lockCallback(void* opaque, void** planes);
    static void unlockCallback(void* opaque, void* picture, void* const* planes);
    static void displayCallback(void* opaque, void* picture);
    static void trackSelected(const libvlc_event_t* event, void* data);

    unsigned configure(char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                       unsigned* lines);
    // What our own probe read of the stream with pictures of this size, once it is known.
    [[nodiscard]] const VideoStreamFacts* probedStream(QSize decoded) const;
    [[nodiscard]] std::optional<VideoColours> coloursFor(const VideoStreamFacts* stream,
                                                         QSize shown, const YuvFormat& format,
                                                         bool decoderFullRange) const;
    void releaseBuffers();
    void* lockBuffer(void** planes);
    void finishPicture(void* picture);
    void display(void* picture);
    void publish(const std::shared_ptr<Buffer>& shown);
    void republishIfReshaped();
    void notify();
    // The visible size and pixel shape of the video track being decoded.
    [[nodiscard]] QSize trackSize(unsigned* sarNum, unsigned* sarDen) const;
    // Asks the track for the size to show pictures of pictureSize at, until it answers.
    void learnShownSize(QSize pictureSize);
    // A buffer that no frame holds, made when every one is held.
    [[nodiscard]] std::shared_ptr<Buffer> freeBuffer();

    std::function<void()> frameReady_;
    std::function<void(const QString&)> warn_;
    std::size_t maxBuffers_;
    std::shared_future<MediaFacts> facts_;
    VlcMedia media_;
    std::atomic<bool> active_{true};
    std::atomic<bool> notifyPending_{false};
    std::atomic<int> selectedTrack_{-1};

    // Touched by the video output thread (and the destructor), under poolMutex_.
    mutable std::mutex poolMutex_;
    Layout layout_;
    std::vector<std::shared_ptr<Buffer>> pool_;
    std::shared_ptr<Buffer> rendering_; // the one libVLC draws into, until displayed
    bool renderedSame_ = false;         // ... and it holds the picture published last
    std::shared_ptr<Buffer> published_;

    // The size frames are meant to be seen at, and whether the track has told it yet;
    // touched by the video output thread only.
    QSize shownSize_;
    int framesBeforeTrackSize_ = 0; // -1: settled

    mutable std::mutex latestMutex_;
    VideoFrame latest_;
    quint64 nextSerial_ = 1;
};
