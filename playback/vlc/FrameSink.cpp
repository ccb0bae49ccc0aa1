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
    static_cast<FrameSink*>(opaque)->finishPicture(picture);
}

void FrameSink::displayCallback(void* opaque, void* picture) {
    static_cast<FrameSink*>(opaque)->display(picture);
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

const VideoStreamFacts* FrameSink::probedStream(QSize decoded) const {
    if (facts_.valid() && facts_.wait_for(kColourWait) == std::future_status::ready)
        return streamForPicture(facts_.get(), decoded);
    return nullptr;
}

std::optional<VideoColours> FrameSink::coloursFor(const VideoStreamFacts* stream, QSize shown,
                                                  const YuvFormat& format,
                                                  bool decoderFullRange) const {
    const ColourTags tags = stream ? stream->colours : ColourTags{};
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
    const QSize reported = trackSize(&sarNum, &sarDen);
    const std::optional<VlcYuvChroma> yuv = vlcYuvChroma(chroma);
    // What our own probe read of the stream: its colours, and its size where the track
    // does not tell it yet.
    const VideoStreamFacts* stream = yuv || reported.isEmpty() ? probedStream(decoded) : nullptr;
    QSize track = reported;
    // A stream that tells its size only once decoding has begun (MPEG): the probe's size,
    // with square pixels until the track says otherwise. Asked at the decoder's padded
    // size, libVLC would stretch the picture into the padding.
    if (reported.isEmpty() && stream && trackFitsBuffer(decoded, stream->size))
        track = stream->size;
    // The track tells the visible size and the pixel shape. Where it learns them only from
    // the decoder, a moment after the first pictures, those pictures are taken at the
    // decoder's size rather than refused: a refused format costs every picture up to the
    // next key frame, which then shows as grey.
    const QSize size = frameOutputSize(decoded, track, sarNum, sarDen).value_or(decoded);
    if (size.isEmpty())
        return 0;
    shownSize_ = size;
    // Not known yet, or still the size before the stream changed it: asked again as
    // pictures come. libVLC scales the visible picture into the decoder's padded size
    // accepted meanwhile; the size it is shown and written at undoes that.
    framesBeforeTrackSize_ = trackFitsBuffer(decoded, reported) ? -1 : 0;

    // Kept in the decoder's format where we can convert it with the file's colours.
    Layout layout;
    std::optional<VideoColours> colours;
    if (yuv)
        colours =
            coloursFor(stream, track.isEmpty() ? decoded : track, yuv->format, yuv->fullRange);
    layout.yuv = yuv && colours;
    layout.planes.size = size;
    if (layout.yuv) {
        // Its tables are made here, once per format, not for every picture.
        layout.conversion = std::make_shared<const ColourConversion>(*colours);
        layout.planes.format = yuv->format;
        layout.swappedChroma = yuv->swappedChroma;
        const QSize chromaSize = chromaPlaneSize(size, yuv->format.subsampling);
        const unsigned sample = unsigned(bytesPerSample(yuv->format));
        for (int plane = 0; plane < 3; ++plane) {
            const QSize planeSize = plane == 0 ? size : chromaSize;
            pitches[plane] = alignedPitch(unsigned(planeSize.width()) * sample);
            lines[plane] = unsigned(planeSize.height());
        }
    } else {
        std::memcpy(chroma, "RV32", 4);
        pitches[0] = unsigned(size.width()) * 4;
        lines[0] = unsigned(size.height());
    }
    for (std::size_t plane = 0; plane < (layout.yuv ? 3u : 1u); ++plane) {
        layout.planes.pitches[plane] = qsizetype(pitches[plane]);
        layout.rows[plane] = int(lines[plane]);
        layout.bytes += layout.planes.pitches[plane] * layout.rows[plane];
    }

    releaseBuffers();
    const std::lock_guard lock(poolMutex_);
    *width = unsigned(size.width());
    *height = unsigned(size.height());
    layout_ = std::move(layout);
    return 1;
}

void FrameSink::releaseBuffers() {
    // Buffers of frames still held elsewhere go with the last of those frames.
    const std::lock_guard lock(poolMutex_);
    pool_.clear();
    rendering_.reset();
    published_.reset();
    renderedSame_ = false;
}

void FrameSink::learnShownSize(QSize pictureSize) {
    if (framesBeforeTrackSize_ < 0)
        return;
    unsigned sarNum = 0;
    unsigned sarDen = 0;
    const QSize track = trackSize(&sarNum, &sarDen);
    const bool fits = trackFitsBuffer(pictureSize, track);
    if (fits)
        shownSize_ = frameOutputSize(pictureSize, track, sarNum, sarDen).value_or(pictureSize);
    if (fits || ++framesBeforeTrackSize_ >= kMaxFramesBeforeTrackSize)
        framesBeforeTrackSize_ = -1;
}

std::shared_ptr<FrameSink::Buffer> FrameSink::freeBuffer() {
    std::shared_ptr<Buffer> found;
    for (auto it = pool_.begin(); it != pool_.end();) {
        // Held by the pool alone: no frame shows it, libVLC is not drawing into it.
        const bool free = it->use_count() == 1;
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
    auto buffer = std::make_shared<Buffer>();
    buffer->bytes.reset(new uchar[std::size_t(layout_.bytes)]);
    uchar* at = buffer->bytes.get();
    for (std::size_t i = 0; i < 3; ++i) {
        buffer->planes[i] = at;
        at += layout_.planes.pitches[i] * layout_.rows[i];
    }
    pool_.push_back(buffer);
    return buffer;
}

void* FrameSink::lockBuffer(void** planes) {
    const std::lock_guard lock(poolMutex_);
    // A picture drawn but never displayed (dropped as late) leaves its buffer here.
    if (!rendering_)
        rendering_ = freeBuffer();
    const bool swap = layout_.swappedChroma;
    planes[0] = rendering_->planes[0];
    planes[1] = rendering_->planes[swap ? 2 : 1];
    planes[2] = rendering_->planes[swap ? 1 : 2];
    return rendering_.get();
}

void FrameSink::finishPicture(void* picture) {
    const std::lock_guard lock(poolMutex_);
    if (!rendering_ || rendering_.get() != picture)
        return;
    // A picture shown again (paused) is the same frame: nothing to publish. Pictures that
    // differ almost always differ in their first bytes, so this costs little.
    renderedSame_ = published_ && std::memcmp(published_->bytes.get(), rendering_->bytes.get(),
                                              std::size_t(layout_.bytes)) == 0;
}

void FrameSink::display(void* picture) {
    std::shared_ptr<Buffer> shown;
    bool same = false;
    {
        const std::lock_guard lock(poolMutex_);
        if (!rendering_ || rendering_.get() != picture)
            return;
        shown = std::move(rendering_);
        same = renderedSame_;
        renderedSame_ = false;
        if (!same)
            published_ = shown;
    }
    if (!active_.load())
        return;
    if (same)
        republishIfReshaped();
    else
        publish(shown);
}

void FrameSink::republishIfReshaped() {
    // A still picture is shown again; if the size it is meant to be seen at became known
    // meanwhile, it goes out once more at that size.
    const VideoFrame previous = latest();
    if (previous.isNull())
        return;
    learnShownSize(previous.size());
    if (previous.shownSize == shownSize_)
        return;
    {
        const std::lock_guard lock(latestMutex_);
        latest_.serial = nextSerial_++;
        latest_.shownSize = shownSize_;
    }
    notify();
}

void FrameSink::publish(const std::shared_ptr<Buffer>& shown) {
    std::shared_ptr<const FramePicture> picture;
    {
        const std::lock_guard lock(poolMutex_);
        learnShownSize(layout_.planes.size);
        if (layout_.yuv) {
            YuvPicture planes = layout_.planes;
            for (std::size_t i = 0; i < 3; ++i)
                planes.planes[i] = shown->planes[i];
            picture = std::make_shared<const FramePicture>(planes, layout_.conversion, shown,
                                                           layout_.bytes);
        } else {
            // The image keeps the buffer for as long as it lives.
            const QSize size = layout_.planes.size;
            auto* keep = new std::shared_ptr<Buffer>(shown);
            picture = std::make_shared<const FramePicture>(QImage(
                shown->bytes.get(), size.width(), size.height(), layout_.planes.pitches[0],
                QImage::Format_RGB32,
                [](void* info) { delete static_cast<std::shared_ptr<Buffer>*>(info); }, keep));
        }
    }
    VideoFrame previous;
    {
        const std::lock_guard lock(latestMutex_);
        previous = std::move(latest_);
        latest_ = VideoFrame{std::move(picture), nextSerial_++, shownSize_};
    }
    previous = {}; // released outside the lock
    notify();
}

void FrameSink::notify() {
    if (!notifyPending_.exchange(true) && frameReady_)
        frameReady_();
}
