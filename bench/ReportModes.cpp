#include "bench/Report.h"

#include "bench/BenchStats.h"
#include "bench/ImageCount.h"
#include "bench/ReportText.h"
#include "capture/SnapshotEncoder.h"

#include <QDir>
#include <QJsonArray>
#include <QThread>

// Export Frames' other choices against ffmpeg doing the same from the command line: one
// frame every 10 s of a 10-minute 1080p H.264 file (a key frame every 2 s), a contact
// sheet of a 2-hour one, and one frame per scene of the test film of 20 shots.
void Report::exportModes() {
    const int threads = QThread::idealThreadCount();
    const QString tenMinutes = QDir(o_.modeClips).filePath(QStringLiteral("long-1080p.mp4"));
    const QString twoHours = QDir(o_.modeClips).filePath(QStringLiteral("long-1080p-2h.mp4"));
    const QString scenes = QDir(o_.modeClips).filePath(QStringLiteral("scenes.mp4"));
    line(QString());
    line(QStringLiteral("### Export Frames: one every N seconds, per scene, contact sheet"));
    line(QString());
    line(QStringLiteral(
             "Ours: the export the dialog runs, PNG, as a process of its own (the file's frame "
             "index included). ffmpeg: `ffmpeg -threads %1 -i clip -threads %1 -vf <filter> "
             "-fps_mode vfr -compression_level %2 out%%05d.png` (it decodes every frame). "
             "Medians of %3 runs.")
             .arg(threads)
             .arg(kSnapshotPngLevel)
             .arg(o_.runs));
    line(QString());
    line(QStringLiteral("| Case | Our files | Ours s | ffmpeg filter | ffmpeg files | ffmpeg s | "
                        "Ours ÷ ffmpeg |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|"));
    struct Case {
        QString name;
        QString clip;
        qint64 toMs;
        QString choice;
        QString filter; // empty: no ffmpeg row
    };
    const std::vector<Case> cases = {
        {QStringLiteral("1 every 10 s, 10 min 1080p"), tenMinutes, 600000,
         QStringLiteral("interval:10"), QStringLiteral("fps=1/10")},
        {QStringLiteral("1 per scene, 20-shot film"), scenes, 3600000, QStringLiteral("scenes:50"),
         QStringLiteral("select='gt(scene,0.3)'")},
        {QStringLiteral("sheet 4 x 5, 2 h 1080p"), twoHours, 7200000, QStringLiteral("sheet:4x5"),
         QString()},
    };
    QJsonArray all;
    for (const Case& c : cases) {
        if (!QFileInfo::exists(c.clip)) {
            line(QStringLiteral("| %1 | (no clip %2) | | | | | |").arg(c.name, c.clip));
            failed_ = true;
            continue;
        }
        const QString ours = work(QStringLiteral("modes-ours"));
        const QString theirs = work(QStringLiteral("modes-ffmpeg"));
        std::vector<double> ourMs;
        std::vector<double> ffmpegMs;
        int ourFiles = 0;
        int ffmpegFiles = 0;
        for (int i = 0; i < o_.runs; ++i) {
            QDir(ours).removeRecursively();
            QDir(theirs).removeRecursively();
            QDir().mkpath(theirs);
            const QJsonObject r =
                self({QStringLiteral("export"), c.clip, QStringLiteral("0"),
                      QString::number(c.toMs), QStringLiteral("png"), ours, c.choice});
            if (r.isEmpty()) {
                failed_ = true;
                continue;
            }
            ourMs.push_back(r.value(QStringLiteral("wallMs")).toDouble());
            ourFiles = r.value(QStringLiteral("files")).toInt();
            if (c.filter.isEmpty())
                continue;
            const Ffmpeg::Cost ff = ffmpeg_.filterFrames(
                c.clip, threads, c.filter,
                {QStringLiteral("-compression_level"), QString::number(kSnapshotPngLevel)},
                QDir(theirs).filePath(QStringLiteral("%05d.png")));
            if (ff.ok) {
                ffmpegMs.push_back(ff.wallMs);
                ffmpegFiles = countImages(theirs).files;
            }
        }
        QDir(ours).removeRecursively();
        QDir(theirs).removeRecursively();
        if (ourMs.empty())
            continue;
        const double ratio = ffmpegMs.empty() ? -1 : median(ourMs) / median(ffmpegMs);
        line(QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 |")
                 .arg(c.name)
                 .arg(ourFiles)
                 .arg(fixed(median(ourMs) / 1000, 2))
                 .arg(c.filter.isEmpty() ? QStringLiteral("–")
                                         : QStringLiteral("`%1`").arg(c.filter))
                 .arg(ffmpegMs.empty() ? QStringLiteral("–") : QString::number(ffmpegFiles))
                 .arg(ffmpegMs.empty() ? QStringLiteral("–") : fixed(median(ffmpegMs) / 1000, 2))
                 .arg(ratio < 0 ? QStringLiteral("–") : fixed(ratio, 2)));
        all.append(
            QJsonObject{{QStringLiteral("case"), c.name},
                        {QStringLiteral("ourMs"), median(ourMs)},
                        {QStringLiteral("ourFiles"), ourFiles},
                        {QStringLiteral("ffmpegMs"), ffmpegMs.empty() ? -1 : median(ffmpegMs)},
                        {QStringLiteral("ffmpegFiles"), ffmpegFiles}});
        if (c.choice.startsWith(QLatin1String("interval")))
            target(QStringLiteral("One frame every 10 s of 10 min 1080p ≤ 0.5× ffmpeg fps=1/10"),
                   ratio >= 0 && ratio <= 0.5, QStringLiteral("%1×").arg(fixed(ratio, 2)));
        else if (c.choice.startsWith(QLatin1String("scenes")))
            target(QStringLiteral("Scenes of the 20-shot film at least as fast as ffmpeg's select"),
                   ratio >= 0 && ratio <= 1.0,
                   QStringLiteral("%1×, %2 scenes (ffmpeg %3)")
                       .arg(fixed(ratio, 2))
                       .arg(ourFiles)
                       .arg(ffmpegFiles));
        else
            target(QStringLiteral("Contact sheet 4 x 5 of 2 h 1080p < 10 s"), median(ourMs) < 10000,
                   QStringLiteral("%1 s").arg(fixed(median(ourMs) / 1000, 2)));
    }
    results_.insert(QStringLiteral("modes"), all);
}
