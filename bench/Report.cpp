#include "bench/Report.h"

#include "bench/ChildProcess.h"
#include "capture/SnapshotEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QSysInfo>
#include <QThread>

#include <cstdio>

static QString cpuModel() {
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("model name"))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    }
    return {};
}

static QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).section(QLatin1Char(' '), 0, 2)
               : QString();
}

Report::Report(ReportOptions options)
    : o_(std::move(options)), ffmpeg_(QDir(o_.work).filePath(QStringLiteral("ffmpeg.log"))) {}

QString Report::clip(const QString& size) const {
    return QDir(o_.clips).filePath(QStringLiteral("clip-%1.mp4").arg(size));
}

QString Report::clipMatrix(const QString& size) {
    return size == QLatin1String("640x360") ? QStringLiteral("bt601") : QStringLiteral("bt709");
}

QString Report::work(const QString& name) const {
    return QDir(o_.work).filePath(name);
}

QStringList Report::childEnvironment() const {
    // A runtime folder of our own keeps the single-instance lock away from any other
    // Framora running on the machine.
    return {QStringLiteral("XDG_RUNTIME_DIR=") + runtime_.path(),
            QStringLiteral("FRAMORA_VLC_ARGS=--aout=dummy")};
}

void Report::line(const QString& text) {
    lines_ << text;
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

void Report::target(const QString& what, bool met, const QString& figures) {
    targets_ << QStringLiteral("| %1 | %2 | %3 |")
                    .arg(what, met ? QStringLiteral("met") : QStringLiteral("**missed**"), figures);
}

QJsonObject Report::self(const QStringList& arguments) const {
    const ChildResult child =
        runChild(QStringList{QCoreApplication::applicationFilePath()} + arguments,
                 childEnvironment(), true, work(QStringLiteral("children.log")));
    const QList<QByteArray> lines = child.output.trimmed().split('\n');
    const QJsonObject json = QJsonDocument::fromJson(lines.last()).object();
    if (!child.exited || json.isEmpty())
        std::fprintf(stderr, "framora_bench %s: failed (see %s)\n",
                     qPrintable(arguments.join(QLatin1Char(' '))),
                     qPrintable(work(QStringLiteral("children.log"))));
    return child.exited ? json : QJsonObject();
}

int Report::run() {
    QDir().mkpath(o_.work);
    machine();
    if (wants("snapshot"))
        snapshotCosts();
    if (wants("colour"))
        colours();
    if (wants("continuous"))
        continuousCapture();
    if (wants("export"))
        frameExport();
    if (wants("modes"))
        exportModes();
    if (wants("peers"))
        peers();
    if (wants("idle"))
        idleAndPlaying();
    if (wants("startup"))
        startup();
    line(QString());
    line(QStringLiteral("### Targets"));
    line(QString());
    line(QStringLiteral("| Target | Verdict | Figures |"));
    line(QStringLiteral("|---|---|---|"));
    for (const QString& t : targets_)
        line(t);
    results_.insert(QStringLiteral("loadAverageAfter"), loadAverage());
    line(QString());
    line(QStringLiteral("Load average (1, 5, 15 min) after the run: %1").arg(loadAverage()));

    QFile md(work(QStringLiteral("results.md")));
    if (md.open(QIODevice::WriteOnly))
        md.write(lines_.join(QLatin1Char('\n')).toUtf8() + '\n');
    QFile json(work(QStringLiteral("results.json")));
    if (json.open(QIODevice::WriteOnly))
        json.write(QJsonDocument(results_).toJson());
    return failed_ ? 1 : 0;
}

void Report::machine() {
    const QString cpu = cpuModel();
    const QString load = loadAverage();
    line(QStringLiteral("## Capture benchmark"));
    line(QString());
    line(QStringLiteral("Machine: %1 cores (nproc), %2, %3; %4. Load average before the run: %5.")
             .arg(QThread::idealThreadCount())
             .arg(cpu, QSysInfo::prettyProductName(), ffmpeg_.version(), load));
    line(QStringLiteral("Medians over %1 runs; clips: testsrc2 with temporal noise, H.264, 25 fps, "
                        "12 s. Our PNG: deflate level %2 (1 for frames over a megapixel while "
                        "others wait), a row filter where it pays; our JPG: 4:4:4, optimised "
                        "Huffman tables.")
             .arg(o_.runs)
             .arg(kSnapshotPngLevel));
    results_.insert(QStringLiteral("cpu"), cpu);
    results_.insert(QStringLiteral("cores"), QThread::idealThreadCount());
    results_.insert(QStringLiteral("loadAverageBefore"), load);
}
