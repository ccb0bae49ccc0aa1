#include "bench/ColourStill.h"

#include "bench/BenchStats.h"
#include "bench/BenchWait.h"
#include "bench/ChildProcess.h"
#include "playback/media/ColourConversion.h"
#include "playback/media/MediaService.h"
#include "playback/media/PlaneScaler.h"
#include "playback/vlc/VlcEngine.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <vector>

constexpr int kDeadlineMs = 30000;

int runColourStill(const QString& clip, const QString& rawPath) {
    MediaService media;
    VlcEngine engine(media, {QStringLiteral("--vout=dummy"), QStringLiteral("--aout=dummy")});
    engine.load(clip, LoadMode::ReplaceAndPlay);
    // Bars and ramps are still pictures: a picture shown again is not counted as shown.
    if (!waitUntil([&] { return engine.Playing() && !engine.currentFrame().isNull(); },
                   kDeadlineMs))
        return 1;
    waitFor(500);
    engine.pause();
    if (!waitUntil([&] { return !engine.Playing() && !engine.currentFrame().isNull(); },
                   kDeadlineMs))
        return 1;
    const QImage frame = engine.currentFrame().toImage().convertToFormat(QImage::Format_RGB888);
    QFile file(rawPath);
    if (frame.isNull() || !file.open(QIODevice::WriteOnly))
        return 1;
    for (int y = 0; y < frame.height(); ++y)
        file.write(reinterpret_cast<const char*>(frame.constScanLine(y)),
                   qint64(frame.width()) * 3);
    std::printf("%s\n", QJsonDocument(QJsonObject{{QStringLiteral("width"), frame.width()},
                                                  {QStringLiteral("height"), frame.height()}})
                            .toJson(QJsonDocument::Compact)
                            .constData());
    return 0;
}

int runConversionCost(int width, int height) {
    const QSize size(width, height);
    const QSize screen = size.scaled(480, 270, Qt::KeepAspectRatio);
    QJsonObject result;
    for (const int depth : {8, 10}) {
        const int bytes = depth > 8 ? 2 : 1;
        // A moving ramp with grain in every plane: no two rows alike.
        std::vector<quint16> samples(size_t(width) * size_t(height) * 3 / 2);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = quint16(((i * 2654435761u) >> 7) % 700 + 100) >> (10 - depth);
        std::vector<uchar> packed(samples.size() * size_t(bytes));
        for (size_t i = 0; i < samples.size(); ++i) {
            if (bytes == 2)
                reinterpret_cast<quint16*>(packed.data())[i] = samples[i];
            else
                packed[i] = uchar(samples[i]);
        }
        const uchar* y = packed.data();
        const uchar* u = y + qsizetype(width) * height * bytes;
        const uchar* v = u + qsizetype(width / 2) * (height / 2) * bytes;
        const YuvPicture planes{{ChromaSubsampling::Yuv420, depth},
                                size,
                                {y, u, v},
                                {width * bytes, width / 2 * bytes, width / 2 * bytes}};
        const struct {
            const char* name;
            ColourPrimaries primaries;
            TransferCurve transfer;
        } kinds[] = {{"BT.709", ColourPrimaries::Bt709, TransferCurve::Sdr},
                     {"BT.2020 SDR", ColourPrimaries::Bt2020, TransferCurve::Sdr},
                     {"PQ", ColourPrimaries::Bt2020, TransferCurve::Pq},
                     {"HLG", ColourPrimaries::Bt2020, TransferCurve::Hlg}};
        for (const auto& kind : kinds) {
            VideoColours colours;
            colours.matrix = kind.primaries == ColourPrimaries::Bt709 ? ColourMatrix::Bt709
                                                                      : ColourMatrix::Bt2020;
            colours.primaries = kind.primaries;
            colours.transfer = kind.transfer;
            VideoFrame frame;
            frame.picture = std::make_shared<const FramePicture>(
                planes, std::make_shared<const ColourConversion>(colours), nullptr,
                qsizetype(packed.size()));
            for (const QSize at : {size, screen}) {
                std::vector<double> ms;
                YuvScaler scaler; // as the screen keeps its own
                for (int i = 0; i < 15; ++i) {
                    const qint64 start = monotonicNs();
                    const QImage image = frame.toImage(at, &scaler);
                    ms.push_back(double(monotonicNs() - start) / 1e6);
                    if (image.isNull())
                        return 1;
                }
                result.insert(QStringLiteral("%1 %2-bit at %3x%4")
                                  .arg(QLatin1String(kind.name))
                                  .arg(depth)
                                  .arg(at.width())
                                  .arg(at.height()),
                              median(ms));
            }
        }
    }
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}
