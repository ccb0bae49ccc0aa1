#include "playback/vlc/FrameSink.h"

#include "playback/vlc/FrameSize.h"
#include "playback/vlc/VlcChroma.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {
// How many frames to keep asking the track for its size when it was not known at first.
constexpr int kMaxFramesBeforeTrackSize = 250;
// How long the first picture waits for the file's colour description.
constexpr auto kColourWait = std::chrono::milliseconds(3000);
// Rows start on this boundary, for the vector loops of the conversion.
constexpr unsigned kRowAlignment = 64;

unsigned alignedPitch(unsigned bytes) {
    return (bytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
}
} // namespace

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

struct FrameSink::YuvBuffer {
    std::unique_ptr<uchar[]> bytes;
    std::array<uchar*, 3> planes{};
};

FrameSink::FrameSink(std::function<void()> frameReady, std::size_t maxBuffers,
                     std::shared_future<MediaFacts> facts, std::function<void(const QString&)> warn)
    : frameReady_(std::move(frameReady)), warn_(std::move(warn)),
      maxBuffers_(std::max<std::size_t>(2, maxBuffers)), facts_(std::move(facts)) {}

FrameSink::~FrameSink() = default;

void FrameSink::attach(libvlc_media_player_t* player, libvlc_media_t* media) {
    if (media)
        libvlc_media_retain(media);
    media_.reset(media);
    // The sink lives as long as its player (it is released only after the player), so the
    // event needs no detaching.
    (void)libvlc_event_attach(libvlc_media_player_event_manager(player),
                              libvlc_MediaPlayerESSelected, &FrameSink::trackSelected, this);
    libvlc_video_set_callbacks(player, &FrameSink::lockCallback, &FrameSink::unlockCallback,
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

void FrameSink::trackSelected(const libvlc_event_t* event, void* data) {
    // On a libVLC thread; nothing of the player may be called from here.
    if (event->u.media_player_es_changed.i_type == libvlc_track_video)
        static_cast<FrameSink*>(data)->selectedTrack_.store(event->u.media_player_es_changed.i_id);
}

unsigned FrameSink::formatCallback(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                   unsigned* pitches, unsigned* lines) {
    return static_cast<FrameSink*>(*opaque)->configure(chroma, width, height, pitches, lines);
}

void FrameSink::cleanupCallback(void* opaque) {
    static_cast<FrameSink*>(opaque)->releaseBuffers();
}

void* FrameSink::lockCallback(void* opaque, void** planes) {
    return static_cast<FrameSink*>(opaque)->lockBuffer(planes);
}

void FrameSink::unlockCallback(void* opaque, void* picture, void* const* /*planes*/) {
    static_cast<FrameSink*>(opaque)->convertPicture(picture);
}

void FrameSink::displayCallback(void* opaque, void* picture) {
    static_cast<FrameSink*>(opaque)->display(picture);
}

void FrameSink::releaseImageBuffer(void* info) {
    auto* ref = static_cast<BufferRef*>(info);
    ref->buffer->images.fetch_sub(1, std::memory_order_release);
    delete ref;
}

QSize FrameSink::trackSize(unsigned* sarNum, unsigned* sarDen) const {
    QSize size;
    if (!media_)
        return size;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media_.get(), &tracks);
    const int selected = selectedTrack_.load();
    const libvlc_media_track_t* chosen = nullptr;
    for (unsigned i = 0; i < count; ++i) {
        if (tracks[i]->i_type != libvlc_track_video || !tracks[i]->video)
            continue;
        // The track being played, which need not be the first of the file.
        if (!chosen || tracks[i]->i_id == selected)
            chosen = tracks[i];
        if (tracks[i]->i_id == selected)
            break;
    }
    if (chosen) {
        const libvlc_video_track_t& video = *chosen->video;
        size = QSize(int(video.i_width), int(video.i_height));
        *sarNum = video.i_sar_num;
        *sarDen = video.i_sar_den;
        // libVLC turns the picture upright before it reaches us; after a quarter turn
        // (or a transposition) the track's width is the picture's height.
        if (video.i_orientation >= libvlc_video_orient_left_top) {
            size.transpose();
            std::swap(*sarNum, *sarDen);
        }
    }
    if (count > 0)
        libvlc_media_tracks_release(tracks, count);
    return size;
}

std::optional<VideoColours> FrameSink::coloursFor(QSize decoded, QSize shown,
                                                  const YuvFormat& format,
                                                  bool decoderFullRange) const {
    ColourTags tags;
    if (facts_.valid() && facts_.wait_for(kColourWait) == std::future_status::ready) {
        if (const VideoStreamFacts* stream = streamForPicture(facts_.get(), decoded))
            tags = stream->colours;
    }
    QString problem;
    std::optional<VideoColours> colours =
        resolveColours(tags, decoderFullRange, shown, format.bitDepth, &problem);
    if (!problem.isEmpty() && warn_)
        warn_(problem);
    return colours;
}

unsigned FrameSink::configure(char* chroma, unsigned* width, unsigned* height, unsigned* pitches,
                              unsigned* lines) {
    unsigned sarNum = 0;
    unsigned sarDen = 0;
    const QSize decoded{int(*width), int(*height)};
    const QSize track = trackSize(&sarNum, &sarDen);
    // The track tells the visible size and the pixel shape. Where it learns them only from
    // the decoder, a moment after the first pictures, those pictures are taken at the
    // decoder's size rather than refused: a refused format costs every picture up to the
    // next key frame, which then shows as grey.
    const QSize size = frameOutputSize(decoded, track, sarNum, sarDen).value_or(decoded);
    if (size.isEmpty())
        return 0;
    shownSize_ = size;
    framesBeforeTrackSize_ = track.isEmpty() ? 0 : -1;

    // Kept in the decoder's format where we can convert it with the file's colours.
    std::optional<YuvPicture> layout;
    const std::optional<VlcYuvChroma> yuv = vlcYuvChroma(chroma);
    std::optional<VideoColours> colours;
    if (yuv)
        colours =
            coloursFor(decoded, track.isEmpty() ? decoded : track, yuv->format, yuv->fullRange);
    // Its tables are made here, once per format, not for every picture.
    std::shared_ptr<const ColourConversion> conversion;
    if (yuv && colours)
        conversion = std::make_shared<const ColourConversion>(*colours);
    if (yuv && colours) {
        layout = YuvPicture{yuv->format, size, {}, {}};
        const QSize chromaSize = chromaPlaneSize(size, yuv->format.subsampling);
        const unsigned sample = unsigned(bytesPerSample(yuv->format));
        for (int plane = 0; plane < 3; ++plane) {
            const QSize planeSize = plane == 0 ? size : chromaSize;
            pitches[plane] = alignedPitch(unsigned(planeSize.width()) * sample);
            lines[plane] = unsigned(planeSize.height());
            layout->pitches[size_t(plane)] = qsizetype(pitches[plane]);
        }
    } else {
        std::memcpy(chroma, "RV32", 4);
        pitches[0] = unsigned(size.width()) * 4;
        lines[0] = unsigned(size.height());
    }

    releaseBuffers();
    const std::lock_guard lock(poolMutex_);
    *width = unsigned(size.width());
    *height = unsigned(size.height());
    frameSize_ = size;
    yuvLayout_ = layout;
    swappedChroma_ = yuv && yuv->swappedChroma;
    bitDepth_ = layout ? layout->format.bitDepth : 8;
    if (conversion)
        conversion_ = std::move(conversion);
    return 1;
}

void FrameSink::releaseBuffers() {
    const std::lock_guard lock(poolMutex_);
    pool_.clear();
    rendering_.reset();
    prepared_.reset();
    preparedPicture_ = nullptr;
    yuvPool_.clear();
    yuvRendering_ = nullptr;
    yuvConverted_ = nullptr;
}

void FrameSink::learnShownSize(QSize pictureSize) {
    if (framesBeforeTrackSize_ < 0)
        return;
    unsigned sarNum = 0;
    unsigned sarDen = 0;
    const QSize track = trackSize(&sarNum, &sarDen);
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

std::shared_ptr<FrameSink::Buffer> FrameSink::freeBuffer() {
    std::shared_ptr<Buffer> found;
    for (auto it = pool_.begin(); it != pool_.end();) {
        const bool free = *it != rendering_ && *it != prepared_ &&
                          (*it)->images.load(std::memory_order_acquire) == 0;
        if (free && !found) {
            found = *it;
            ++it;
        } else if (free && pool_.size() > maxBuffers_) {
            // Made for a backlog of frames being written: its memory goes with the backlog.
            it = pool_.erase(it);
        } else {
            ++it;
        }
    }
    if (found)
        return found;
    // Every buffer holds a frame on screen or waiting to be written. What capture may hold
    // is bounded by its own memory budget, so a picture is never dropped for want of one.
    pool_.push_back(makeBuffer());
    return pool_.back();
}

void* FrameSink::lockBuffer(void** planes) {
    const std::lock_guard lock(poolMutex_);
    if (yuvLayout_) {
        // One buffer is being filled and one holds the picture converted last; a third
        // covers a picture prepared but never displayed.
        YuvBuffer* chosen = nullptr;
        for (const auto& buffer : yuvPool_) {
            if (buffer.get() != yuvConverted_) {
                chosen = buffer.get();
                break;
            }
        }
        if (!chosen) {
            auto buffer = std::make_unique<YuvBuffer>();
            const QSize chroma = chromaPlaneSize(yuvLayout_->size, yuvLayout_->format.subsampling);
            const std::array<qsizetype, 3> rows = {yuvLayout_->size.height(), chroma.height(),
                                                   chroma.height()};
            qsizetype total = 0;
            for (std::size_t i = 0; i < 3; ++i)
                total += yuvLayout_->pitches[i] * rows[i];
            buffer->bytes.reset(new uchar[std::size_t(total)]);
            uchar* at = buffer->bytes.get();
            for (std::size_t i = 0; i < 3; ++i) {
                buffer->planes[i] = at;
                at += yuvLayout_->pitches[i] * rows[i];
            }
            yuvPool_.push_back(std::move(buffer));
            chosen = yuvPool_.back().get();
        }
        yuvRendering_ = chosen;
        planes[0] = chosen->planes[0];
        planes[1] = chosen->planes[swappedChroma_ ? 2 : 1];
        planes[2] = chosen->planes[swappedChroma_ ? 1 : 2];
        return chosen;
    }
    // A picture rendered but never displayed (dropped as late) leaves its buffer here.
    if (!rendering_)
        rendering_ = freeBuffer();
    planes[0] = rendering_->pixels.get();
    return rendering_.get();
}

void FrameSink::convertPicture(void* picture) {
    std::unique_lock lock(poolMutex_);
    if (!yuvLayout_ || picture != yuvRendering_)
        return;
    YuvBuffer* filled = yuvRendering_;
    YuvPicture view = *yuvLayout_;
    for (std::size_t i = 0; i < 3; ++i)
        view.planes[i] = filled->planes[i];
    // A picture shown again is the same frame: nothing to convert nor publish.
    bool same = yuvConverted_ != nullptr;
    if (same) {
        const QSize chroma = chromaPlaneSize(view.size, view.format.subsampling);
        for (std::size_t i = 0; i < 3 && same; ++i) {
            const qsizetype rows = i == 0 ? view.size.height() : chroma.height();
            same = std::memcmp(yuvConverted_->planes[i], filled->planes[i],
                               std::size_t(view.pitches[i] * rows)) == 0;
        }
    }
    preparedPicture_ = picture;
    prepared_.reset();
    if (same || !active_.load())
        return;
    std::shared_ptr<Buffer> target = freeBuffer();
    if (!target)
        return;
    prepared_ = target;
    yuvConverted_ = filled;
    const std::shared_ptr<const ColourConversion> conversion = conversion_;
    // Converted outside the lock: nothing else hands out these two buffers meanwhile.
    lock.unlock();
    convertYuvToRgb32(view, *conversion, target->pixels.get(), qsizetype(target->width) * 4);
}

void FrameSink::display(void* picture) {
    std::shared_ptr<Buffer> shown;
    {
        const std::lock_guard lock(poolMutex_);
        if (yuvLayout_) {
            if (picture != preparedPicture_)
                return;
            preparedPicture_ = nullptr;
            shown = std::move(prepared_);
        } else {
            if (!rendering_ || rendering_.get() != picture)
                return;
            shown = std::move(rendering_);
            // A picture shown again is the same frame: keep the published one.
            const VideoFrame previous = latest();
            const std::size_t bytes = std::size_t(shown->width) * 4 * std::size_t(shown->height);
            if (previous.image.width() == shown->width &&
                previous.image.height() == shown->height &&
                std::memcmp(previous.image.constBits(), shown->pixels.get(), bytes) == 0)
                shown.reset();
        }
    }
    if (!active_.load())
        return;
    if (shown)
        publish(std::move(shown));
    else
        republishIfReshaped();
}

void FrameSink::republishIfReshaped() {
    // A still picture is shown again; if the size it is meant to be seen at became known
    // meanwhile, it goes out once more at that size.
    const VideoFrame previous = latest();
    if (previous.image.isNull())
        return;
    learnShownSize(previous.image.size());
    if (previous.shownSize == shownSize_)
        return;
    {
        const std::lock_guard lock(latestMutex_);
        latest_.serial = nextSerial_++;
        latest_.shownSize = shownSize_;
    }
    notify();
}

void FrameSink::publish(std::shared_ptr<Buffer> shown) {
    learnShownSize(QSize(shown->width, shown->height));
    shown->images.fetch_add(1, std::memory_order_relaxed);
    const uchar* pixels = shown->pixels.get();
    const int width = shown->width;
    const int height = shown->height;
    QImage image(pixels, width, height, width * 4, QImage::Format_RGB32,
                 &FrameSink::releaseImageBuffer, new BufferRef{std::move(shown)});
    {
        const std::lock_guard lock(latestMutex_);
        std::swap(latest_.image, image);
        latest_.serial = nextSerial_++;
        latest_.shownSize = shownSize_;
        latest_.bitDepth = bitDepth_;
    }
    image = QImage(); // the previous frame, released outside the lock

    notify();
}

void FrameSink::notify() {
    if (!notifyPending_.exchange(true) && frameReady_)
        frameReady_();
}
