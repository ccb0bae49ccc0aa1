#include "TestClips.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

TestClips::TestClips(const QStringList& names) {
    ffmpegFound_ = !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
    if (!ffmpegFound_) {
        error_ = QStringLiteral("ffmpeg is not installed");
        return;
    }
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder: %1").arg(dir_.errorString());
        return;
    }
    const QString source =
        qEnvironmentVariable("FRAMORA_SOURCE_DIR", QStringLiteral(FRAMORA_TEST_SOURCE_DIR));
    const QString script = QDir(source).filePath(QStringLiteral("tools/make-test-clips.sh"));
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("sh"), QStringList{script, dir_.path()} + names);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        error_ =
            QStringLiteral("%1 failed: %2").arg(script, QString::fromLocal8Bit(process.readAll()));
}

QString TestClips::path(const QString& name) const {
    return dir_.filePath(name);
}
