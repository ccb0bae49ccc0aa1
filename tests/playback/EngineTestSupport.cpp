#include "EngineTestSupport.h"

#include <QDir>
#include <QProcess>

QString makeTestClips(const QString& folder, const QStringList& names) {
    const QString source =
        qEnvironmentVariable("FRAMORA_SOURCE_DIR", QStringLiteral(FRAMORA_TEST_SOURCE_DIR));
    const QString script = QDir(source).filePath(QStringLiteral("tools/make-test-clips.sh"));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("sh"), QStringList{script, folder} + names);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QStringLiteral("%1 failed: %2")
            .arg(script, QString::fromLocal8Bit(process.readAll()));
    return {};
}
