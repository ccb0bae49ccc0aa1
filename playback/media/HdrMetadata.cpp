#include "playback/media/HdrMetadata.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/mastering_display_metadata.h>
}

#include <memory>

namespace {
// A mastering display that states a peak of 0 states nothing usable; MaxCLL 0 is
// CTA-861.3's "unknown".
void take(const AVMasteringDisplayMetadata* mastering, const AVContentLightMetadata* light,
          ColourTags& tags) {
    if (mastering && mastering->has_luminance) {
        const double peak = av_q2d(mastering->max_luminance);
        tags.masteringPeakNits = peak > 0 ? peak : -1;
    }
    if (light)
        tags.maxContentNits = double(light->MaxCLL);
}

// Packets read to find the first frame before giving up (a stream of broken packets).
constexpr int kMostPackets = 200;
} // namespace

bool readHdrLevels(const AVStream& stream, ColourTags& tags) {
    const auto* mastering = reinterpret_cast<const AVMasteringDisplayMetadata*>(
        av_stream_get_side_data(&stream, AV_PKT_DATA_MASTERING_DISPLAY_METADATA, nullptr));
    const auto* light = reinterpret_cast<const AVContentLightMetadata*>(
        av_stream_get_side_data(&stream, AV_PKT_DATA_CONTENT_LIGHT_LEVEL, nullptr));
    take(mastering, light, tags);
    return mastering || light;
}

bool readHdrLevels(const AVFrame& frame, ColourTags& tags) {
    const AVFrameSideData* mastering =
        av_frame_get_side_data(&frame, AV_FRAME_DATA_MASTERING_DISPLAY_METADATA);
    const AVFrameSideData* light =
        av_frame_get_side_data(&frame, AV_FRAME_DATA_CONTENT_LIGHT_LEVEL);
    take(mastering ? reinterpret_cast<const AVMasteringDisplayMetadata*>(mastering->data) : nullptr,
         light ? reinterpret_cast<const AVContentLightMetadata*>(light->data) : nullptr, tags);
    return mastering || light;
}

void readHdrLevelsFromFirstFrame(AVFormatContext& format, int stream, ColourTags& tags) {
    struct CodecFree {
        void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
    };
    struct PacketFree {
        void operator()(AVPacket* p) const { av_packet_free(&p); }
    };
    struct FrameFree {
        void operator()(AVFrame* f) const { av_frame_free(&f); }
    };
    if (stream < 0 || unsigned(stream) >= format.nb_streams)
        return;
    const AVCodecParameters& parameters = *format.streams[stream]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(parameters.codec_id);
    if (!decoder)
        return;
    const std::unique_ptr<AVCodecContext, CodecFree> codec(avcodec_alloc_context3(decoder));
    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!codec || !packet || !frame || avcodec_parameters_to_context(codec.get(), &parameters) < 0)
        return;
    codec->thread_count = 1;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return;
    for (int read = 0; read < kMostPackets && av_read_frame(&format, packet.get()) >= 0; ++read) {
        const bool ours = packet->stream_index == stream;
        if (ours)
            (void)avcodec_send_packet(codec.get(), packet.get());
        av_packet_unref(packet.get());
        if (ours && avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            (void)readHdrLevels(*frame, tags);
            break;
        }
    }
    (void)av_seek_frame(&format, -1, 0, AVSEEK_FLAG_BACKWARD);
}
