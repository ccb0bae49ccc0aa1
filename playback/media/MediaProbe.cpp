#include "playback/media/MediaProbe.h"

#include "playback/media/FrameIndex.h"
#include "playback/media/HdrMetadata.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
}

#include <memory>

namespace {

struct FormatContextClose {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};

// Bits per sample of the decoded pictures; 8 when the stream does not say.
int bitDepthOf(const AVCodecParameters& codec) {
    if (const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(AVPixelFormat(codec.format)))
        return d->comp[0].depth;
    return codec.bits_per_raw_sample > 8 ? codec.bits_per_raw_sample : 8;
}

} // namespace

double framesPerSecondOf(const AVStream& stream) {
    for (const AVRational rate : {stream.avg_frame_rate, stream.r_frame_rate}) {
        if (rate.num > 0 && rate.den > 0) {
            const double fps = av_q2d(rate);
            // Containers without a rate report placeholders such as 90000 or 1000.
            if (fps >= 1 && fps <= 480)
                return fps;
        }
    }
    return 0;
}

namespace {

struct Interruption {
    QDeadlineTimer probeDeadline;
    const std::function<bool()>* stop = nullptr;
    bool probing = true;
};

int interrupted(void* data) {
    const auto* i = static_cast<const Interruption*>(data);
    return (i->probing && i->probeDeadline.hasExpired()) || (*i->stop && (*i->stop)()) ? 1 : 0;
}

MediaFacts factsOf(AVFormatContext& context) {
    MediaFacts facts;
    facts.readable = true;
    for (unsigned i = 0; i < context.nb_streams; ++i) {
        const AVStream& stream = *context.streams[i];
        const AVCodecParameters& codec = *stream.codecpar;
        if (codec.codec_type != AVMEDIA_TYPE_VIDEO ||
            (stream.disposition & AV_DISPOSITION_ATTACHED_PIC))
            continue;
        VideoStreamFacts video;
        video.index = int(i);
        video.size = QSize(codec.width, codec.height);
        video.colours.matrix = int(codec.color_space);
        video.colours.primaries = int(codec.color_primaries);
        video.colours.transfer = int(codec.color_trc);
        video.colours.range = int(codec.color_range);
        // PQ is tone mapped from the video's peak, which HEVC often tells only in the
        // pictures themselves.
        if (!readHdrLevels(stream, video.colours) && codec.color_trc == AVCOL_TRC_SMPTE2084)
            readHdrLevelsFromFirstFrame(context, int(i), video.colours);
        video.bitDepth = bitDepthOf(codec);
        video.framesPerSecond = framesPerSecondOf(stream);
        video.isDefault = (stream.disposition & AV_DISPOSITION_DEFAULT) != 0;
        facts.videoStreams.push_back(video);
    }
    return facts;
}

} // namespace

void readMedia(const QString& path, int probeTimeoutMs, const std::function<bool()>& stop,
               const std::function<void(const MediaFacts&)>& onFacts,
               const std::shared_ptr<FrameIndex>& index) {
    const auto finish = [&](const MediaFacts& facts) {
        if (onFacts)
            onFacts(facts);
        if (index)
            index->finish();
    };
    if (!QFileInfo(path).isFile())
        return finish({});
    Interruption interruption{QDeadlineTimer(probeTimeoutMs), &stop};
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        return finish({});
    raw->interrupt_callback = {&interrupted, &interruption};
    // On failure avformat_open_input frees the context itself.
    if (avformat_open_input(&raw, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return finish({});
    const std::unique_ptr<AVFormatContext, FormatContextClose> context(raw);
    // The colour description is often only in the coded stream (an H.264 SPS), which
    // this decodes the first pictures of.
    if (avformat_find_stream_info(context.get(), nullptr) < 0)
        return finish({});
    if (onFacts)
        onFacts(factsOf(*context));
    interruption.probing = false;
    if (!index)
        return;
    // The same demuxer goes on to read every packet of the stream our decoder decodes.
    const int stream = av_find_best_stream(context.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream >= 0)
        index->setTimeBase(av_q2d(context->streams[stream]->time_base));
    AVPacket* packet = av_packet_alloc();
    int read = 0;
    // MPEG streams leave the presentation time off some packets. Their decoding time is
    // then behind it by the decoder's delay, as on the packets before that have both (a
    // decoder gives such a frame the same time).
    qint64 delay = 0;
    qint64 position = -1; // the last packet's that tells it
    while (stream >= 0 && packet && (read = av_read_frame(context.get(), packet)) >= 0) {
        if (packet->stream_index == stream) {
            const bool pts = packet->pts != AV_NOPTS_VALUE;
            const bool dts = packet->dts != AV_NOPTS_VALUE;
            if (pts && dts)
                delay = packet->pts - packet->dts;
            if (packet->pos >= 0)
                position = packet->pos;
            index->add(pts   ? std::optional<qint64>(packet->pts)
                       : dts ? std::optional<qint64>(packet->dts + delay)
                             : std::nullopt,
                       position, !pts);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    // Reading ends at the end of the file, or where the file ends before its packets do.
    index->finish(read < 0 && read != AVERROR_EOF && !(stop && stop()));
}

MediaFacts probeMedia(const QString& path, int timeoutMs) {
    MediaFacts facts;
    readMedia(
        path, timeoutMs, [] { return false; }, [&](const MediaFacts& f) { facts = f; }, nullptr);
    return facts;
}

const VideoStreamFacts* streamForPicture(const MediaFacts& facts, QSize pictureSize) {
    const VideoStreamFacts* fallback = nullptr;
    for (const VideoStreamFacts& stream : facts.videoStreams) {
        // Decoders pad their pictures to whole blocks (a 1080-line picture comes as 1088).
        // A quarter turn shows it with its sides swapped.
        constexpr int kPadding = 64;
        for (const QSize coded : {stream.size, stream.size.transposed()}) {
            const QSize pad = pictureSize - coded;
            if (pad.width() >= 0 && pad.height() >= 0 && pad.width() < kPadding &&
                pad.height() < kPadding)
                return &stream;
        }
        if (!fallback || (stream.isDefault && !fallback->isDefault))
            fallback = &stream;
    }
    return fallback;
}
