#include "bench/ExportRun.h"

#include "bench/ChildProcess.h"
#include "bench/ImageCount.h"
#include "capture/FrameExport.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

int runExport(const QString& clip, qint64 fromMs, qint64 toMs, bool jpeg, const QString& outDir) {
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
    exporter.start({clip, outDir, QStringLiteral("IMG_"), jpeg, fromMs, toMs});
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
