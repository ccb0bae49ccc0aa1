#include "playback/media/FrameReader.h"

#include "playback/media/ColourConversion.h"
#include "playback/media/FrameIndex.h"
#include "playback/media/HdrMetadata.h"
#include "playback/media/MediaProbe.h"
#include "playback/media/VideoColours.h"
#include "playback/media/YuvPicture.h"

#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <deque>

namespace {

// How long a frame's number may wait for the index to have read that far (it reads many
// times faster than anything decodes).
constexpr int kIndexWaitMs = 10000;

struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

// The planar YUV layouts our conversion takes: three planes, no alpha, little-endian
// samples of 8 to 16 bits, chroma halved both ways, across only, or not at all.
std::optional<YuvFormat> yuvFormatOf(int pixelFormat) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(pixelFormat));
    if (!d || d->nb_components != 3 || !(d->flags & AV_PIX_FMT_FLAG_PLANAR) ||
        (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_BE | AV_PIX_FMT_FLAG_PAL)) ||
        d->comp[0].depth < 8 || d->comp[0].depth > 16 || d->comp[0].plane != 0 ||
        d->comp[1].plane != 1 || d->comp[2].plane != 2)
        return std::nullopt;
    ChromaSubsampling subsampling;
    if (d->log2_chroma_w == 1 && d->log2_chroma_h == 1)
        subsampling = ChromaSubsampling::Yuv420;
    else if (d->log2_chroma_w == 1 && d->log2_chroma_h == 0)
        subsampling = ChromaSubsampling::Yuv422;
    else if (d->log2_chroma_w == 0 && d->log2_chroma_h == 0)
        subsampling = ChromaSubsampling::Yuv444;
    else
        return std::nullopt;
    return YuvFormat{subsampling, d->comp[0].depth};
}

bool decoderSaysFullRange(int pixelFormat) {
    return pixelFormat == AV_PIX_FMT_YUVJ420P || pixelFormat == AV_PIX_FMT_YUVJ422P ||
           pixelFormat == AV_PIX_FMT_YUVJ444P;
}

} // namespace

struct FrameReader::State {
    struct FormatClose {
        void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
    };
    struct CodecFree {
        void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    };
    struct PacketFree {
        void operator()(AVPacket* p) const { av_packet_free(&p); }
    };
    struct ScaleFree {
        void operator()(SwsContext* s) const { sws_freeContext(s); }
    };

    std::unique_ptr<AVFormatContext, FormatClose> format;
    std::unique_ptr<AVCodecContext, CodecFree> codec;
    std::unique_ptr<AVPacket, PacketFree> packet{av_packet_alloc()};
    std::unique_ptr<SwsContext, ScaleFree> scale;
    int stream = -1;
    AVRational timeBase{1, 1};
    double fps = 0;
    std::shared_ptr<const FrameIndex> index;
    quint64 unnumbered = 0; // serials of frames the index does not know
    int rotation = 0;       // degrees clockwise to turn the picture upright
    ColourTags tags;
    // The conversion of the frames decoded last, remade only when their colours change.
    struct ConversionKey {
        ColourTags tags;
        int format = -1;
        QSize size;
        friend bool operator==(const ConversionKey&, const ConversionKey&) = default;
    };
    std::optional<ConversionKey> converted;
    std::shared_ptr<const ColourConversion> conversion;
    bool flushed = false;
    std::deque<FramePtr> queued; // decoded, not yet returned
    QString path;
    // Frames without a presentation timestamp of their own (AVI gives none; Matroska's
    // negative ones are read as none) are counted, from the start or from the key frame a
    // seek landed on: the next one's number (none once a frame had a timestamp).
    std::optional<qint64> countNext = 0;
    bool landing = false;          // a seek was made; its first packet says where
    qint64 lastPosition = -1;      // of the last packet read that tells it
    std::optional<qint64> lastPts; // of the frame returned last

    bool openFormat() {
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
            return false;
        format.reset(raw);
        return avformat_find_stream_info(raw, nullptr) >= 0;
    }

    // Decoding starts again where the demuxer now is: from the start, or (landing) where a
    // seek took it.
    void restart(bool afterSeek) {
        avcodec_flush_buffers(codec.get());
        flushed = false;
        queued.clear();
        countNext = afterSeek ? std::nullopt : std::optional<qint64>(0);
        landing = afterSeek;
        lastPosition = -1;
        lastPts.reset();
    }

    // Back to the first frame: no demuxer seeks to frames without timestamps, so the file
    // is opened again.
    bool rewind() {
        if (!openFormat())
            return false;
        restart(false);
        return true;
    }

    // From where the timestamps went back: the same timestamp is another frame there. A
    // frame whose packet has no position of its own is placed by the last one read (a
    // decoder's delay behind, so frames just before that point are counted past it too).
    [[nodiscard]] bool pastIndex(const AVFrame& frame) const {
        const std::optional<qint64> end = index->endPosition();
        return end && (frame.pkt_pos >= 0 ? frame.pkt_pos : lastPosition) >= *end;
    }

    // Frames before the target are decoded and dropped; the target and what follows wait
    // in order.
    bool skipTo(qint64 target, FramePtr frame) {
        for (; frame; frame = decode()) {
            const std::optional<qint64> pts = ptsOf(*frame);
            if (pts && *pts >= target) {
                queued.push_back(std::move(frame));
                return true;
            }
        }
        return false;
    }

    // A frame counted gets the timestamp the index has for its place. (A decoder's guess
    // for it is a decoding time some frames later.)
    void count(AVFrame& frame) {
        if (frame.pts != AV_NOPTS_VALUE) {
            countNext.reset();
            return;
        }
        if (!countNext)
            return;
        const std::optional<qint64> pts = index->ptsOf(*countNext, kIndexWaitMs);
        if (pts) {
            frame.pts = frame.best_effort_timestamp = *pts;
            ++*countNext;
        } else {
            countNext.reset();
        }
    }

    // The first packet after a seek, in a stream with decoding times only: the key frame
    // is placed by its decoding time, which is what the index holds for such a stream (a
    // key frame that others do not precede is shown in the order it is decoded).
    void landedOn(const AVPacket& first) {
        landing = false;
        countNext.reset();
        if (first.dts != AV_NOPTS_VALUE && !index->hasPresentationTimes())
            countNext = index->numberOf(first.dts, kIndexWaitMs);
    }

    [[nodiscard]] static std::optional<qint64> ptsOf(const AVFrame& frame) {
        const qint64 pts =
            frame.best_effort_timestamp != AV_NOPTS_VALUE ? frame.best_effort_timestamp : frame.pts;
        return pts != AV_NOPTS_VALUE ? std::optional<qint64>(pts) : std::nullopt;
    }

    // The next decoded frame in presentation order, or null at the end.
    FramePtr decode() {
        FramePtr frame(av_frame_alloc());
        for (;;) {
            const int received = avcodec_receive_frame(codec.get(), frame.get());
            if (received == 0) {
                count(*frame);
                return frame;
            }
            if (received != AVERROR(EAGAIN) || flushed)
                return nullptr;
            const int read = av_read_frame(format.get(), packet.get());
            if (read < 0) {
                flushed = true;
                avcodec_send_packet(codec.get(), nullptr);
                continue;
            }
            if (packet->stream_index == stream) {
                if (landing)
                    landedOn(*packet);
                if (packet->pos >= 0)
                    lastPosition = packet->pos;
                (void)avcodec_send_packet(codec.get(), packet.get());
            }
            av_packet_unref(packet.get());
        }
    }

    // The frame's colours as its stream says, a frame's own tags first; HDR levels are
    // the stream's (the screen's too), whatever a frame says later.
    [[nodiscard]] ColourTags tagsOf(const AVFrame& frame) const {
        ColourTags t = tags;
        if (frame.colorspace != AVCOL_SPC_UNSPECIFIED)
            t.matrix = int(frame.colorspace);
        if (frame.color_primaries != AVCOL_PRI_UNSPECIFIED)
            t.primaries = int(frame.color_primaries);
        if (frame.color_trc != AVCOL_TRC_UNSPECIFIED)
            t.transfer = int(frame.color_trc);
        if (frame.color_range != AVCOL_RANGE_UNSPECIFIED)
            t.range = int(frame.color_range);
        return t;
    }

    [[nodiscard]] const ColourConversion* conversionFor(const AVFrame& frame,
                                                        const YuvFormat& yuv) {
        const ConversionKey key{tagsOf(frame), frame.format, QSize(frame.width, frame.height)};
        if (!converted || *converted != key) {
            const std::optional<VideoColours> colours = resolveColours(
                key.tags, decoderSaysFullRange(frame.format), key.size, yuv.bitDepth);
            conversion = colours ? std::make_shared<const ColourConversion>(*colours) : nullptr;
            converted = key;
        }
        return conversion.get();
    }

    // The frame's pixels: its own planes where they are YUV of ours (shared with the
    // decoder, not copied), otherwise RGB made by libswscale, as libVLC makes it.
    [[nodiscard]] std::shared_ptr<const FramePicture> pictureOf(FramePtr frame) {
        const QSize size(frame->width, frame->height);
        const std::optional<YuvFormat> yuv = yuvFormatOf(frame->format);
        const ColourConversion* converter = yuv ? conversionFor(*frame, *yuv) : nullptr;
        if (converter) {
            YuvPicture planes{*yuv, size, {}, {}};
            const QSize chroma = chromaPlaneSize(size, yuv->subsampling);
            qsizetype bytes = 0;
            for (std::size_t i = 0; i < 3; ++i) {
                planes.planes[i] = frame->data[i];
                planes.pitches[i] = frame->linesize[i];
                bytes += qsizetype(frame->linesize[i]) * (i == 0 ? size.height() : chroma.height());
            }
            return std::make_shared<const FramePicture>(
                planes, conversion, std::shared_ptr<const AVFrame>(frame.release(), FrameFree()),
                bytes);
        }
        QImage image(size, QImage::Format_RGB32);
        scale.reset(sws_getCachedContext(scale.release(), frame->width, frame->height,
                                         AVPixelFormat(frame->format), frame->width, frame->height,
                                         AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (image.isNull() || !scale)
            return nullptr;
        uint8_t* planes[4] = {image.bits(), nullptr, nullptr, nullptr};
        const int pitches[4] = {int(image.bytesPerLine()), 0, 0, 0};
        sws_scale(scale.get(), frame->data, frame->linesize, 0, frame->height, planes, pitches);
        return std::make_shared<const FramePicture>(std::move(image));
    }

    [[nodiscard]] VideoFrame videoFrameOf(FramePtr decoded) {
        const AVFrame& frame = *decoded;
        VideoFrame out;
        out.rotation = rotation;
        // Its number and time are its place among the file's frames, or unknown: never a
        // time divided by a rate.
        const std::optional<qint64> pts = ptsOf(frame);
        // Frames come in presentation order: a timestamp that does not move on is wrong.
        const bool inOrder = pts && (!lastPts || *pts > *lastPts);
        if (pts)
            lastPts = pts;
        const std::optional<qint64> number =
            inOrder && !pastIndex(frame) ? index->numberOf(*pts, kIndexWaitMs) : std::nullopt;
        if (number) {
            out.frameNumber = *number;
            out.timeMs = index->millisecondsOf(*pts);
            out.serial = quint64(*number) + 1;
        } else {
            out.serial = (quint64(1) << 62) + ++unnumbered;
        }
        QSize shown(frame.width, frame.height);
        const AVRational sar = frame.sample_aspect_ratio;
        if (sar.num > 0 && sar.den > 0 && sar.num != sar.den) {
            if (sar.num > sar.den)
                shown.setWidth(int(std::lround(double(shown.width()) * sar.num / sar.den)));
            else
                shown.setHeight(int(std::lround(double(shown.height()) * sar.den / sar.num)));
        }
        if (rotation == 90 || rotation == 270)
            shown.transpose();
        out.shownSize = shown;
        out.picture = pictureOf(std::move(decoded));
        return out;
    }
};

FrameReader::FrameReader(const QString& path, std::shared_ptr<const FrameIndex> index,
                         int decoderThreads)
    : d_(std::make_unique<State>()) {
    if (!QFileInfo(path).isFile())
        return;
    if (!index) {
        // Without the media service's index, one of its own: every packet read once.
        auto own = std::make_shared<FrameIndex>();
        readMedia(
            path, kIndexWaitMs, [] { return false; }, {}, own);
        index = std::move(own);
    }
    d_->index = std::move(index);
    d_->path = path;
    if (!d_->openFormat())
        return;
    AVFormatContext* raw = d_->format.get();
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        return;
    const AVStream& s = *raw->streams[stream];
    d_->codec.reset(avcodec_alloc_context3(decoder));
    if (d_->codec)
        d_->codec->thread_count = decoderThreads;
    if (!d_->codec || avcodec_parameters_to_context(d_->codec.get(), s.codecpar) < 0 ||
        avcodec_open2(d_->codec.get(), decoder, nullptr) < 0) {
        d_->codec.reset();
        return;
    }
    d_->stream = stream;
    d_->timeBase = s.time_base;
    d_->tags.matrix = int(s.codecpar->color_space);
    d_->tags.primaries = int(s.codecpar->color_primaries);
    d_->tags.transfer = int(s.codecpar->color_trc);
    d_->tags.range = int(s.codecpar->color_range);
    if (!readHdrLevels(s, d_->tags) && s.codecpar->color_trc == AVCOL_TRC_SMPTE2084)
        readHdrLevelsFromFirstFrame(*raw, stream, d_->tags);
    d_->fps = framesPerSecondOf(s);
    if (const uint8_t* matrix = av_stream_get_side_data(&s, AV_PKT_DATA_DISPLAYMATRIX, nullptr)) {
        const double rotation = -av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
        d_->rotation = (int(std::lround(rotation / 90.0)) * 90 % 360 + 360) % 360;
    }
}

FrameReader::~FrameReader() = default;

bool FrameReader::isOpen() const {
    return d_->codec != nullptr;
}

double FrameReader::framesPerSecond() const {
    return d_->fps;
}

QString FrameReader::codecName() const {
    if (!d_->codec)
        return {};
    const AVCodecDescriptor* descriptor = avcodec_descriptor_get(d_->codec->codec_id);
    return descriptor ? QString::fromLatin1(descriptor->name) : QString();
}

qint64 FrameReader::durationMs() const {
    if (!isOpen() || d_->format->duration == AV_NOPTS_VALUE)
        return 0;
    return d_->format->duration / (AV_TIME_BASE / 1000);
}

const FrameIndex& FrameReader::index() const {
    return *d_->index;
}

bool FrameReader::seek(qint64 timeMs) {
    return seekToFrame(d_->index->numberAt(timeMs, kIndexWaitMs).value_or(0));
}

bool FrameReader::seekToFrame(qint64 number) {
    if (!isOpen())
        return false;
    const std::optional<qint64> target = d_->index->ptsOf(number, kIndexWaitMs);
    if (!target)
        return false;
    // Frames without timestamps at the start are reached only from the start.
    if (number < d_->index->leadingCount())
        return d_->rewind() && d_->skipTo(*target, d_->decode());
    // A seek lands on a key frame at or before the target, but demuxers that seek by
    // bytes (MPEG streams) may land after it: then from further back.
    const qint64 second = std::max<qint64>(2, qint64(1.0 / av_q2d(d_->timeBase)));
    for (qint64 back = 0; back <= 8 * second; back = back == 0 ? second / 2 : back * 2) {
        if (av_seek_frame(d_->format.get(), d_->stream, *target - back, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(d_->format.get(), d_->stream, *target - back,
                          AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
            continue;
        d_->restart(true);
        FramePtr frame = d_->decode();
        const std::optional<qint64> first = frame ? State::ptsOf(*frame) : std::nullopt;
        // Landed where the timestamps started again: the frame is reached from the start.
        if (frame && d_->pastIndex(*frame))
            return d_->rewind() && d_->skipTo(*target, d_->decode());
        if (!frame || !first || *first > *target)
            continue;
        return d_->skipTo(*target, std::move(frame));
    }
    return false;
}

std::optional<VideoFrame> FrameReader::next() {
    if (!isOpen())
        return std::nullopt;
    FramePtr frame;
    if (!d_->queued.empty()) {
        frame = std::move(d_->queued.front());
        d_->queued.pop_front();
    } else {
        frame = d_->decode();
    }
    if (!frame)
        return std::nullopt;
    VideoFrame out = d_->videoFrameOf(std::move(frame));
    if (out.isNull())
        return std::nullopt;
    return out;
}
