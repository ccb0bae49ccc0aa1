#include "playback/vlc/FrameSink.h"

#include "playback/vlc/FrameSize.h"

#include <algorithm>
#include <cstring>

// How many frames to keep asking the track for its size when it was not known at first.
constexpr int kMaxFramesBeforeTrackSize = 250;

static QSize trackSize(libvlc_media_t* media, unsigned* sarNum, unsigned* sarDen) {
    QSize size;
    if (!media)
        return size;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    for (unsigned i = 0; i < count; ++i) {
        if (tracks[i]->i_type == libvlc_track_video && tracks[i]->video) {
            const libvlc_video_track_t& video = *tracks[i]->video;
            size = QSize(int(video.i_width), int(video.i_height));
            *sarNum = video.i_sar_num;
            *sarDen = video.i_sar_den;
            // libVLC turns the picture upright before it reaches us; after a quarter turn
            // (or a transposition) the track's width is the picture's height.
            if (video.i_orientation >= libvlc_video_orient_left_top) {
                size.transpose();
                std::swap(*sarNum, *sarDen);
            }
            break;
        }
    }
    if (count > 0)
        libvlc_media_tracks_release(tracks, count);
    return size;
}

struct FrameSink::Buffer {
    std::unique_ptr<uchar[]> pixels;
    int width = 0;
    int height = 0;
    std::atomic<int> images{0}; // live QImages over these pixels
};

// Keeps a buffer alive for as long as a QImage shows its pixels.
struct FrameSink::BufferRef {
    std::shared_ptr<Buffer> buffer;
};

FrameSink::FrameSink(std::function<void()> frameReady, std::size_t maxBuffers)
    : frameReady_(std::move(frameReady)), maxBuffers_(std::max<std::size_t>(2, maxBuffers)) {}

FrameSink::~FrameSink() = default;

void FrameSink::attach(libvlc_media_player_t* player, libvlc_media_t* media) {
    if (media)
        libvlc_media_retain(media);
    media_.reset(media);
    libvlc_video_set_callbacks(player, &FrameSink::lockCallback, nullptr,
                               &FrameSink::displayCallback, this);
    libvlc_video_set_format_callbacks(player, &FrameSink::formatCallback,
                                      &FrameSink::cleanupCallback);
}

VideoFrame FrameSink::latest() const {
    const std::lock_guard lock(latestMutex_);
    return latest_;
}

void FrameSink::acknowledge() {
    notifyPending_.store(false);
}

void FrameSink::deactivate() {
    active_.store(false);
}

unsigned FrameSink::formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines) {
    auto* sink = static_cast<FrameSink*>(*opaque);
    std::memcpy(chroma, "RV32", 4);
    return sink->configure(width, height, pitches, lines);
}

void FrameSink::cleanupCallback(void* opaque) {
    auto* sink = static_cast<FrameSink*>(opaque);
    const std::lock_guard lock(sink->poolMutex_);
    sink->pool_.clear();
    sink->rendering_.reset();
    sink->scratch_.reset();
}

void* FrameSink::lockCallback(void* opaque, void** planes) {
    return static_cast<FrameSink*>(opaque)->lockBuffer(planes);
}

void FrameSink::displayCallback(void* opaque, void* picture) {
    static_cast<FrameSink*>(opaque)->display(picture);
}

void FrameSink::releaseImageBuffer(void* info) {
    auto* ref = static_cast<BufferRef*>(info);
    ref->buffer->images.fetch_sub(1, std::memory_order_release);
    delete ref;
}

unsigned FrameSink::configure(unsigned* width, unsigned* height, unsigned* pitches,
                              unsigned* lines) {
    unsigned sarNum = 0;
    unsigned sarDen = 0;
    const QSize buffer{int(*width), int(*height)};
    const QSize track = trackSize(media_.get(), &sarNum, &sarDen);
    // The track tells the visible size and the pixel shape. Where it learns them only from
    // the decoder, a moment after the first pictures, those pictures are taken at the
    // decoder's size rather than refused: a refused format costs every picture up to the
    // next key frame, which then shows as grey.
    const QSize size = frameOutputSize(buffer, track, sarNum, sarDen).value_or(buffer);
    if (size.isEmpty())
        return 0;
    shownSize_ = size;
    framesBeforeTrackSize_ = track.isEmpty() ? 0 : -1;

    const std::lock_guard lock(poolMutex_);
    *width = unsigned(size.width());
    *height = unsigned(size.height());
    pitches[0] = *width * 4;
    lines[0] = *height;
    frameSize_ = size;
    pool_.clear();
    rendering_.reset();
    scratch_.reset();
    return 1;
}

void FrameSink::learnShownSize(QSize pictureSize) {
    if (framesBeforeTrackSize_ < 0)
        return;
    unsigned sarNum = 0;
    unsigned sarDen = 0;
    const QSize track = trackSize(media_.get(), &sarNum, &sarDen);
    if (!track.isEmpty())
        shownSize_ = frameOutputSize(pictureSize, track, sarNum, sarDen).value_or(pictureSize);
    if (!track.isEmpty() || ++framesBeforeTrackSize_ >= kMaxFramesBeforeTrackSize)
        framesBeforeTrackSize_ = -1;
}

std::shared_ptr<FrameSink::Buffer> FrameSink::makeBuffer() const {
    auto buffer = std::make_shared<Buffer>();
    buffer->width = frameSize_.width();
    buffer->height = frameSize_.height();
    buffer->pixels.reset(new uchar[std::size_t(buffer->width) * 4 * std::size_t(buffer->height)]);
    return buffer;
}

void* FrameSink::lockBuffer(void** planes) {
    const std::lock_guard lock(poolMutex_);
    // A picture rendered but never displayed (dropped as late) leaves its buffer here.
    if (!rendering_) {
        for (const auto& buffer : pool_) {
            if (buffer->images.load(std::memory_order_acquire) == 0) {
                rendering_ = buffer;
                break;
            }
        }
    }
    if (!rendering_ && pool_.size() < maxBuffers_) {
        pool_.push_back(makeBuffer());
        rendering_ = pool_.back();
    }
    if (!rendering_) {
        if (!scratch_)
            scratch_ = makeBuffer();
        rendering_ = scratch_;
    }
    planes[0] = rendering_->pixels.get();
    return rendering_.get();
}

void FrameSink::display(void* picture) {
    std::shared_ptr<Buffer> shown;
    {
        const std::lock_guard lock(poolMutex_);
        if (!rendering_ || rendering_.get() != picture)
            return;
        shown = std::move(rendering_);
        if (shown == scratch_)
            return;
    }
    if (!active_.load())
        return;

    learnShownSize(QSize(shown->width, shown->height));
    const std::size_t bytes = std::size_t(shown->width) * 4 * std::size_t(shown->height);
    {
        // A picture shown again is the same frame: keep the published one.
        const VideoFrame previous = latest();
        if (previous.image.width() == shown->width && previous.image.height() == shown->height &&
            previous.shownSize == shownSize_ &&
            std::memcmp(previous.image.constBits(), shown->pixels.get(), bytes) == 0)
            return;
    }

    shown->images.fetch_add(1, std::memory_order_relaxed);
    QImage image(static_cast<const uchar*>(shown->pixels.get()), shown->width, shown->height,
                 shown->width * 4, QImage::Format_RGB32, &FrameSink::releaseImageBuffer,
                 new BufferRef{shown});
    {
        const std::lock_guard lock(latestMutex_);
        std::swap(latest_.image, image);
        latest_.serial = nextSerial_++;
        latest_.shownSize = shownSize_;
    }
    image = QImage(); // the previous frame, released outside the lock

    if (!notifyPending_.exchange(true) && frameReady_)
        frameReady_();
}
