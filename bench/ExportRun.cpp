#include "bench/ExportRun.h"

#include "bench/ChildProcess.h"
#include "bench/ImageCount.h"
#include "capture/FrameExport.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

static ExportChoice choiceOf(const QString& text) {
    ExportChoice choice;
    const QString kind = text.section(QLatin1Char(':'), 0, 0);
    const QString value = text.section(QLatin1Char(':'), 1);
    if (kind == QLatin1String("interval")) {
        choice.mode = ExportMode::Interval;
        choice.intervalSeconds = value.toDouble();
    } else if (kind == QLatin1String("evenly")) {
        choice.mode = ExportMode::Evenly;
        choice.count = value.toInt();
    } else if (kind == QLatin1String("scenes")) {
        choice.mode = ExportMode::PerScene;
        choice.sensitivity = value.toInt();
    } else if (kind == QLatin1String("sheet")) {
        choice.mode = ExportMode::ContactSheet;
        choice.columns = value.section(QLatin1Char('x'), 0, 0).toInt();
        choice.rows = value.section(QLatin1Char('x'), 1, 1).toInt();
    }
    return choice;
}

int runExport(const QString& clip, qint64 fromMs, qint64 toMs, bool jpeg, const QString& outDir,
              const QString& choice) {
    FrameExport exporter;
    QEventLoop loop;
    QJsonObject result;
    const qint64 startNs = monotonicNs();
    QObject::connect(
        &exporter, &FrameExport::finished, &loop, [&](int written, const QString& problem, bool) {
            result.insert(QStringLiteral("wallMs"), double(monotonicNs() - startNs) / 1e6);
            result.insert(QStringLiteral("written"), written);
            result.insert(QStringLiteral("problem"), problem);
            loop.quit();
        });
    ExportJob job{clip, outDir, QStringLiteral("IMG_"), jpeg, fromMs, toMs};
    job.choice = choiceOf(choice);
    exporter.start(job);
    loop.exec();
    result.insert(QStringLiteral("cpuMs"), processCpuMs());
    // After the clock: what was written, read back.
    const ImageCount images = countImages(outDir);
    result.insert(QStringLiteral("files"), images.files);
    result.insert(QStringLiteral("duplicates"), images.files - images.distinct - images.unreadable);
    result.insert(QStringLiteral("unreadable"), images.unreadable);
    result.insert(QStringLiteral("outOfOrder"), images.outOfOrder);
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return result.value(QStringLiteral("problem")).toString().isEmpty() ? 0 : 1;
}
