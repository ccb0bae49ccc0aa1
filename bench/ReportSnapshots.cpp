#include "bench/Report.h"

#include "bench/BenchStats.h"
#include "bench/ReportText.h"
#include "capture/SnapshotEncoder.h"

#include <QDir>
#include <QFileInfo>

// Snapshots per engine start, each followed by as many ffmpeg runs.
constexpr int kShotsPerRun = 3;

void Report::snapshotCosts() {
    line(QString());
    line(QStringLiteral("### Cost per snapshot, paused"));
    line(QString());
    line(QStringLiteral(
             "Ours: request to file complete (wall) and CPU of the whole process meanwhile, the "
             "player paused. ffmpeg: the same frame from raw RGB24 on disk, minus ffmpeg's "
             "start-up on a null output of the same input (median of paired differences). Each "
             "run starts the engine afresh and takes %1 snapshots, then ffmpeg encodes that "
             "frame %1 times. Ratio = ours / ffmpeg.")
             .arg(kShotsPerRun));
    line(QString());
    line(QStringLiteral("| Size | Format | Ours wall ms | Ours CPU ms | ffmpeg setting | ffmpeg "
                        "wall ms | ffmpeg CPU ms | Ratio wall | Ratio CPU | Ours bytes | ffmpeg "
                        "bytes | PSNR ours / ffmpeg dB |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|---|---|---|"));
    QJsonArray all;
    QStringList colourRows;
    const auto psnrText = [](double p) {
        return p < 0 ? QStringLiteral("?") : p >= 1000 ? QStringLiteral("lossless") : fixed(p, 2);
    };
    for (const QString& sizeText : o_.sizes) {
        for (const bool jpeg : {false, true}) {
            const QString format = jpeg ? QStringLiteral("jpg") : QStringLiteral("png");
            struct Variant {
                QString name;
                QStringList options;
                bool target = false;
                std::vector<double> wall; // paired differences with the null output
                std::vector<double> cpu;
                double bytes = 0;
                double psnr = -1;
            };
            std::vector<Variant> variants(2);
            variants[0].name = QStringLiteral("default");
            variants[0].target = true;
            if (jpeg) {
                variants[1].name = QStringLiteral("-q:v 2");
                variants[1].options = {QStringLiteral("-q:v"), QStringLiteral("2")};
            } else {
                variants[1].name = QStringLiteral("-compression_level %1").arg(kSnapshotPngLevel);
                variants[1].options = {QStringLiteral("-compression_level"),
                                       QString::number(kSnapshotPngLevel)};
            }
            std::vector<double> oursWall;
            std::vector<double> oursCpu;
            std::vector<double> oursBytes;
            double oursPsnr = -1;
            QJsonArray runs;
            for (int i = 0; i < o_.runs; ++i) {
                const QString out = work(QStringLiteral("snapshot-%1-%2").arg(sizeText, format));
                QDir(out).removeRecursively();
                const QJsonObject ours = self({QStringLiteral("snapshot"), clip(sizeText), format,
                                               QString::number(kShotsPerRun), out});
                if (ours.isEmpty()) {
                    failed_ = true;
                    continue;
                }
                runs.append(ours);
                for (const double v : numbers(ours.value(QStringLiteral("wallMs")).toArray()))
                    oursWall.push_back(v);
                for (const double v : numbers(ours.value(QStringLiteral("cpuMs")).toArray()))
                    oursCpu.push_back(v);
                for (const double v : numbers(ours.value(QStringLiteral("bytes")).toArray()))
                    oursBytes.push_back(v);
                const QSize size(ours.value(QStringLiteral("width")).toInt(),
                                 ours.value(QStringLiteral("height")).toInt());
                const QString raw = ours.value(QStringLiteral("frame")).toString();
                for (int k = 0; k < kShotsPerRun; ++k) {
                    for (Variant& v : variants) {
                        const Ffmpeg::Cost null = ffmpeg_.encodeFrame(raw, size, {}, {});
                        const QString file = QDir(out).filePath(
                            QStringLiteral("ffmpeg-%1.%2").arg(&v - variants.data()).arg(format));
                        const Ffmpeg::Cost c = ffmpeg_.encodeFrame(raw, size, v.options, file);
                        v.wall.push_back(c.wallMs - null.wallMs);
                        v.cpu.push_back(c.cpuMs - null.cpuMs);
                        v.bytes = double(QFileInfo(file).size());
                        if (i == o_.runs - 1 && k == 0)
                            v.psnr = ffmpeg_.psnr(raw, size, file);
                    }
                }
                if (i == o_.runs - 1)
                    oursPsnr =
                        ffmpeg_.psnr(raw, size, ours.value(QStringLiteral("file")).toString());
                if (i == o_.runs - 1 && !jpeg) {
                    // The paused frame lies a second and a half to three seconds in.
                    const Ffmpeg::ColourError error = ffmpeg_.colourError(
                        raw, size, clip(sizeText), clipMatrix(sizeText), 1.0, 75);
                    colourRows << QStringLiteral("| %1 | %2 | %3 | %4 % |")
                                      .arg(sizeText, clipMatrix(sizeText),
                                           fixed(error.meanAbsolute, 3),
                                           fixed(error.pixelsOver4 * 100, 3));
                    target(
                        QStringLiteral("Colours at %1: mean error ≤ 1.0, under 3 % of pixels "
                                       "more than 4 levels off")
                            .arg(sizeText),
                        error.meanAbsolute >= 0 && error.meanAbsolute <= 1.0 &&
                            error.pixelsOver4 < 0.03,
                        QStringLiteral("%1, %2 %")
                            .arg(fixed(error.meanAbsolute, 3), fixed(error.pixelsOver4 * 100, 3)));
                }
                QDir(out).removeRecursively();
            }
            if (oursWall.empty())
                continue;
            const double wall = median(oursWall);
            const double cpu = median(oursCpu);
            QJsonObject entry{
                {QStringLiteral("size"), sizeText}, {QStringLiteral("format"), format},
                {QStringLiteral("runs"), runs},     {QStringLiteral("oursWallMs"), wall},
                {QStringLiteral("oursCpuMs"), cpu}, {QStringLiteral("oursPsnr"), oursPsnr}};
            for (const Variant& v : variants) {
                const double fWall = median(v.wall);
                const double fCpu = std::max(0.1, median(v.cpu));
                // A wall difference this small is lost in the jitter of ffmpeg's start-up;
                // its CPU time then stands for it.
                const bool resolved = fWall >= 1.0;
                const double ratio = resolved ? wall / fWall : cpu / fCpu;
                line(QStringLiteral(
                         "| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 | %11 | %12 |")
                         .arg(sizeText, format.toUpper(), fixed(wall), fixed(cpu),
                              v.name + (v.target ? QStringLiteral(" (target)") : QString()),
                              resolved ? fixed(fWall) : QStringLiteral("< 1 (noise)"), fixed(fCpu),
                              resolved ? fixed(wall / fWall, 2) : QStringLiteral("–"),
                              fixed(cpu / fCpu, 2))
                         .arg(qint64(median(oursBytes)))
                         .arg(qint64(v.bytes))
                         .arg(psnrText(oursPsnr) + QStringLiteral(" / ") + psnrText(v.psnr)));
                entry.insert(QStringLiteral("ffmpeg %1").arg(v.name),
                             QJsonObject{{QStringLiteral("wallMs"), fWall},
                                         {QStringLiteral("cpuMs"), fCpu},
                                         {QStringLiteral("bytes"), v.bytes},
                                         {QStringLiteral("psnr"), v.psnr}});
                if (v.target)
                    target(QStringLiteral("%1 snapshot at %2 ≤ %3× ffmpeg default")
                               .arg(format.toUpper(), sizeText)
                               .arg(kSnapshotRatioTarget),
                           ratio <= kSnapshotRatioTarget,
                           resolved ? QStringLiteral("wall %1 ms vs %2 ms = %3× (CPU %4×)")
                                          .arg(fixed(wall), fixed(fWall), fixed(wall / fWall, 2),
                                               fixed(cpu / fCpu, 2))
                                    : QStringLiteral("CPU %1 ms vs %2 ms = %3× (ffmpeg's wall "
                                                     "time below the noise)")
                                          .arg(fixed(cpu), fixed(fCpu), fixed(cpu / fCpu, 2)));
            }
            if (!jpeg && oursPsnr >= 0 && oursPsnr < 1000) {
                line(QStringLiteral("| %1 | PNG | **not lossless: PSNR %2** | | | | | | | | | |")
                         .arg(sizeText, fixed(oursPsnr, 2)));
                failed_ = true;
            }
            all.append(entry);
        }
    }
    results_.insert(QStringLiteral("snapshot"), all);

    line(QString());
    line(QStringLiteral("### Colours of a snapshot"));
    line(QString());
    line(QStringLiteral(
        "Our PNG snapshot of the paused frame against ffmpeg's accurate conversion of the same "
        "frame (`scale=in_color_matrix=<the clip's matrix>:in_range=tv:flags=accurate_rnd+"
        "full_chroma_int`; the decoded frame that matches best): mean absolute error over "
        "every channel, and the share of pixels with a channel more than 4 levels off."));
    line(QString());
    line(QStringLiteral(
        "| Size | Clip's matrix | Mean absolute error | Pixels off by more than 4 |"));
    line(QStringLiteral("|---|---|---|---|"));
    for (const QString& row : colourRows)
        line(row);
}
