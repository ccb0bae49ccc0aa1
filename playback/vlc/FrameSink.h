#pragma once

#include "playback/vlc/VlcHandles.h"

#include <QImage>
#include <QSize>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// One shown picture: an immutable RGB32 image and its number. Equal numbers mean the
// same picture (libVLC shows a picture again every 80 ms or so while nothing new comes).
struct VideoFrame {
    QImage image;
    quint64 serial = 0;
    // The size the picture is meant to be seen at. It differs from the image's only when
    // the video's size and pixel shape became known after its first pictures (MPEG
    // program streams); those pictures keep the decoder's size and are scaled when shown.
    QSize shownSize;
};

// Takes libVLC's decoded pictures through its video memory callbacks, in a small pool of
// buffers, and keeps the one shown last as the latest frame. The callbacks run on
// libVLC's video output thread; readers on any thread get an implicitly shared image of
// a buffer nobody writes to any more, so the lock is held only to swap or copy a handle.
class FrameSink {
public:
    // frameReady is called on libVLC's thread when a new frame was published and the
    // previous call has been acknowledged, so at most one notification is in flight.
    // Frames still held elsewhere (on screen, being written) keep their buffers; beyond
    // maxBuffers a picture goes to a scratch buffer and is not published.
    FrameSink(std::function<void()> frameReady, std::size_t maxBuffers);
    ~FrameSink();
    FrameSink(const FrameSink&) = delete;
    FrameSink& operator=(const FrameSink&) = delete;

    // Routes the player's video here. The media's track gives the visible frame size.
    void attach(libvlc_media_player_t* player, libvlc_media_t* media);

    [[nodiscard]] VideoFrame latest() const;
    // The notified frame was taken; the next published frame may notify again.
    void acknowledge();
    // No more frames are published nor notified (the player is being shut down).
    void deactivate();

private:
    struct Buffer;
    struct BufferRef;

    static unsigned formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines);
    static void cleanupCallback(void* opaque);
    static void* lockCallback(void* opaque, void** planes);
    static void displayCallback(void* opaque, void* picture);
    static void releaseImageBuffer(void* info);

    unsigned configure(unsigned* width, unsigned* height, unsigned* pitches, unsigned* lines);
    void* lockBuffer(void** planes);
    void display(void* picture);
    // Asks the track for the size to show pictures of pictureSize at, until it answers.
    void learnShownSize(QSize pictureSize);
    [[nodiscard]] std::shared_ptr<Buffer> makeBuffer() const;

    std::function<void()> frameReady_;
    std::size_t maxBuffers_;
    VlcMedia media_;
    std::atomic<bool> active_{true};
    std::atomic<bool> notifyPending_{false};

    // Pool state, touched by the video output thread (and the destructor).
    mutable std::mutex poolMutex_;
    std::vector<std::shared_ptr<Buffer>> pool_;
    std::shared_ptr<Buffer> rendering_;
    std::shared_ptr<Buffer> scratch_;
    QSize frameSize_;

    // The size frames are meant to be seen at, and whether the track has told it yet;
    // touched by the video output thread only.
    QSize shownSize_;
    int framesBeforeTrackSize_ = 0; // -1: settled

    mutable std::mutex latestMutex_;
    VideoFrame latest_;
    quint64 nextSerial_ = 1;
};
