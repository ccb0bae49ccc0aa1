#include "playback/media/ContentSniff.h"

#include <QFile>

extern "C" {
#include <libavformat/avformat.h>
}

#include <vector>

namespace {
// Subtitle demuxers of libavformat: their files are text, which other formats' probes
// sometimes claim weakly, so they are named rather than guessed.
constexpr const char* kSubtitleFormats[] = {
    "aqtitle",    "ass",      "jacosub", "lrc",    "microdvd", "mpl2",  "mpsub",
    "pjs",        "realtext", "sami",    "scc",    "srt",      "stl",   "subviewer",
    "subviewer1", "vobsub",   "vplayer", "webvtt", "sup",      "dvbsub"};
constexpr qint64 kSniffBytes = 64 * 1024;
} // namespace

ContentKind kindOfFormat(const QString& formatName) {
    // A demuxer may carry several comma-separated names ("mov,mp4,m4a,3gp,3g2,mj2").
    const QString first = formatName.section(QLatin1Char(','), 0, 0);
    for (const char* subtitle : kSubtitleFormats) {
        if (first == QLatin1String(subtitle))
            return ContentKind::Subtitles;
    }
    // libavformat reads single pictures through its "<codec>_pipe" demuxers.
    if (first.endsWith(QLatin1String("_pipe")) || first == QLatin1String("image2"))
        return ContentKind::StillImage;
    return first.isEmpty() ? ContentKind::Unknown : ContentKind::Media;
}

ContentKind sniffContent(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ContentKind::Unknown;
    // The probes may read a little past the data: the padding stays zero.
    std::vector<unsigned char> buffer(std::size_t(kSniffBytes) + AVPROBE_PADDING_SIZE, 0);
    const qint64 read = file.read(reinterpret_cast<char*>(buffer.data()), kSniffBytes);
    if (read <= 0)
        return ContentKind::Unknown;
    // No file name: the content alone decides, not the extension.
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = buffer.data();
    probe.buf_size = int(read);
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    // Below the retry score a probe only guesses (libavformat itself reads on then).
    if (!format || score < AVPROBE_SCORE_RETRY)
        return ContentKind::Unknown;
    return kindOfFormat(QString::fromLatin1(format->name));
}
