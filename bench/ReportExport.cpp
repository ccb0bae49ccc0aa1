#include "bench/Report.h"

#include "bench/BenchStats.h"
#include "bench/ImageCount.h"
#include "bench/ReportText.h"
#include "capture/SnapshotEncoder.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QThread>

// Frames 25 to 274 of the 25 fps clips: ten seconds, neither end at a key frame.
constexpr qint64 kExportFromMs = 1000;
constexpr qint64 kExportToMs = 10960; // the start of the last frame, which is included
constexpr int kExportFrames = 250;

static qint64 bytesIn(const QString& folder) {
    qint64 bytes = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        bytes += it.nextFileInfo().size();
    return bytes;
}

void Report::frameExport() {
    const int threads = QThread::idealThreadCount();
    line(QString());
    line(QStringLiteral("### Export Frames, every frame of 10 s (%1 frames)").arg(kExportFrames));
    line(QString());
    line(QStringLiteral(
             "Ours: the export the dialog runs (decoding with libavcodec on its own thread, "
             "writing on every core), from the start to the last file. ffmpeg: `ffmpeg -threads "
             "%1 -ss 1 -to 11 -i clip -threads %1 -fps_mode passthrough` with "
             "`-compression_level %2` (PNG) or `-q:v 2` (JPG, 4:2:0), as a whole process. "
             "Written = files ÷ frames in the range; duplicates = files showing the same "
             "pixels as another; out of order = files whose frame number is not the one "
             "before plus one. Medians of the times.")
             .arg(threads)
             .arg(kSnapshotPngLevel));
    line(QString());
    line(QStringLiteral(
        "| Size | Format | Written | Duplicates | Out of order | Ours s | ffmpeg s | "
        "Ours ÷ ffmpeg | ffmpeg files | Our bytes ÷ ffmpeg's |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|---|"));
    QJsonArray all;
    for (const QString& sizeText : o_.sizes) {
        if (sizeText == QLatin1String("640x360"))
            continue; // the HD sizes are the ones people export
        for (const QString& format : {QStringLiteral("png"), QStringLiteral("jpg")}) {
            const bool jpeg = format == QLatin1String("jpg");
            const QString ours = work(QStringLiteral("export-%1-%2").arg(sizeText, format));
            const QString theirs = work(QStringLiteral("export-ffmpeg"));
            std::vector<double> ourMs;
            std::vector<double> ffmpegMs;
            QJsonObject last;
            int ffmpegFiles = 0;
            double bytesRatio = 0;
            for (int i = 0; i < o_.runs; ++i) {
                QDir(ours).removeRecursively();
                QDir(theirs).removeRecursively();
                QDir().mkpath(theirs);
                const QJsonObject r =
                    self({QStringLiteral("export"), clip(sizeText), QString::number(kExportFromMs),
                          QString::number(kExportToMs), format, ours});
                const Ffmpeg::Cost ff = ffmpeg_.extractFrames(
                    clip(sizeText), kExportFromMs / 1000.0, (kExportToMs + 40) / 1000.0, threads,
                    jpeg ? QStringList{QStringLiteral("-q:v"), QStringLiteral("2")}
                         : QStringList{QStringLiteral("-compression_level"),
                                       QString::number(kSnapshotPngLevel)},
                    QDir(theirs).filePath(jpeg ? QStringLiteral("%05d.jpg")
                                               : QStringLiteral("%05d.png")));
                if (r.isEmpty() || !ff.ok) {
                    failed_ = true;
                    continue;
                }
                ourMs.push_back(r.value(QStringLiteral("wallMs")).toDouble());
                ffmpegMs.push_back(ff.wallMs);
                last = r;
                ffmpegFiles = countImages(theirs).files;
                bytesRatio = double(bytesIn(ours)) / double(std::max<qint64>(1, bytesIn(theirs)));
            }
            QDir(ours).removeRecursively();
            QDir(theirs).removeRecursively();
            if (ourMs.empty())
                continue;
            const double written = last.value(QStringLiteral("files")).toDouble() / kExportFrames;
            const int duplicates = last.value(QStringLiteral("duplicates")).toInt();
            const int outOfOrder = last.value(QStringLiteral("outOfOrder")).toInt();
            const double ratio = median(ourMs) / median(ffmpegMs);
            line(QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 |")
                     .arg(sizeText, format.toUpper(), fixed(written, 2))
                     .arg(duplicates)
                     .arg(outOfOrder)
                     .arg(fixed(median(ourMs) / 1000, 2), fixed(median(ffmpegMs) / 1000, 2),
                          fixed(ratio, 2))
                     .arg(ffmpegFiles)
                     .arg(fixed(bytesRatio, 2)));
            target(QStringLiteral("Export %1 %2: every frame once, in order, ≤ %3× ffmpeg's time")
                       .arg(sizeText, format.toUpper())
                       .arg(kExportTimeTarget),
                   written == 1.0 && duplicates == 0 && outOfOrder == 0 &&
                       ratio <= kExportTimeTarget,
                   QStringLiteral("written %1, %2 duplicates, %3 out of order, %4×")
                       .arg(fixed(written, 2))
                       .arg(duplicates)
                       .arg(outOfOrder)
                       .arg(fixed(ratio, 2)));
            all.append(QJsonObject{{QStringLiteral("size"), sizeText},
                                   {QStringLiteral("format"), format},
                                   {QStringLiteral("ourMs"), median(ourMs)},
                                   {QStringLiteral("ffmpegMs"), median(ffmpegMs)},
                                   {QStringLiteral("last"), last}});
        }
    }
    results_.insert(QStringLiteral("export"), all);
}
