// The capture benchmark. tools/bench.sh runs `framora_bench report`, which starts this
// program again for each measurement so that every one gets a fresh process.
#include "bench/BenchApplication.h"
#include "bench/ChildProcess.h"
#include "bench/ColourStill.h"
#include "bench/ContinuousCapture.h"
#include "bench/ExportRun.h"
#include "bench/Report.h"
#include "bench/SnapshotCost.h"
#include "bench/StartupProbe.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

static int usage() {
    std::fprintf(
        stderr,
        "usage: framora_bench report --clips DIR --work DIR --framora EXE [--runs N]\n"
        "                            [--seconds S] [--sizes WxH,...] [--parts a,b,...]\n"
        "                            [--mode-clips DIR]\n"
        "       framora_bench snapshot CLIP png|jpg RUNS OUTDIR\n"
        "       framora_bench continuous CLIP png|jpg|none SECONDS FPS OUTDIR\n"
        "       framora_bench startup-probe\n"
        "       framora_bench still CLIP OUT.rgb\n"
        "       framora_bench convert WIDTH HEIGHT\n"
        "       framora_bench export CLIP FROM_MS TO_MS png|jpg OUTDIR [CHOICE]\n"
        "parts: snapshot, colour, continuous, export, modes, idle, startup, peers (default: "
        "all but peers and modes)\n");
    return 2;
}

static int report(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ReportOptions options;
    options.sizes = {QStringLiteral("640x360"), QStringLiteral("1280x720"),
                     QStringLiteral("1920x1080")};
    const QStringList args = QCoreApplication::arguments();
    for (int i = 2; i + 1 < args.size(); i += 2) {
        const QString& name = args[i];
        const QString& value = args[i + 1];
        if (name == QLatin1String("--clips"))
            options.clips = value;
        else if (name == QLatin1String("--work"))
            options.work = value;
        else if (name == QLatin1String("--framora"))
            options.framora = value;
        else if (name == QLatin1String("--runs"))
            options.runs = std::max(1, value.toInt());
        else if (name == QLatin1String("--seconds"))
            options.seconds = std::max(1.0, value.toDouble());
        else if (name == QLatin1String("--sizes"))
            options.sizes = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (name == QLatin1String("--parts"))
            options.parts = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        else if (name == QLatin1String("--mode-clips"))
            options.modeClips = QFileInfo(value).absoluteFilePath();
        else
            return usage();
    }
    if (options.clips.isEmpty() || options.work.isEmpty() || options.framora.isEmpty())
        return usage();
    // Snapshot folders must be full paths; the folders may be given relative to here.
    options.clips = QFileInfo(options.clips).absoluteFilePath();
    options.work = QFileInfo(options.work).absoluteFilePath();
    options.framora = QFileInfo(options.framora).absoluteFilePath();
    Report report(options);
    return report.run();
}

int main(int argc, char** argv) {
    const qint64 mainNs = monotonicNs();
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("startup-probe"))
        return runStartupProbe(argc, argv, mainNs);
    if (mode == QLatin1String("report"))
        return report(argc, argv);
    if (mode == QLatin1String("snapshot") && argc == 6) {
        QCoreApplication app(argc, argv);
        const QStringList a = QCoreApplication::arguments();
        return runSnapshotCost(a[2], a[3] == QLatin1String("jpg"), a[4].toInt(), a[5]);
    }
    if (mode == QLatin1String("continuous") && argc == 7) {
        BenchApplication app(argc, argv);
        const QStringList a = QCoreApplication::arguments();
        return runContinuousCapture(app, a[2], a[3], a[4].toDouble(), a[5].toDouble(), a[6]);
    }
    if (mode == QLatin1String("still") && argc == 4) {
        QCoreApplication app(argc, argv);
        const QStringList a = QCoreApplication::arguments();
        return runColourStill(a[2], a[3]);
    }
    if (mode == QLatin1String("convert") && argc == 4) {
        QCoreApplication app(argc, argv);
        return runConversionCost(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (mode == QLatin1String("export") && (argc == 7 || argc == 8)) {
        // A contact sheet paints its text: a GUI application, without a screen.
        QGuiApplication app(argc, argv);
        const QStringList a = QCoreApplication::arguments();
        return runExport(a[2], a[3].toLongLong(), a[4].toLongLong(), a[5] == QLatin1String("jpg"),
                         a[6], a.value(7));
    }
    return usage();
}
