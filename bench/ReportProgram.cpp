#include "bench/Report.h"

#include "bench/BenchAppFolder.h"
#include "bench/BenchStats.h"
#include "bench/ChildProcess.h"
#include "bench/ReportText.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>

#include <algorithm>
#include <map>

void Report::idleAndPlaying() {
    line(QString());
    line(QStringLiteral(
        "### The program itself (real executable under Xvfb, FRAMORA_VLC_ARGS=--aout=dummy)"));
    line(QString());
    Settings settings;
    settings.snapshotFolder = work(QStringLiteral("shots"));
    const BenchAppFolder folder(QFileInfo(o_.framora).absolutePath(), settings);
    const QString exe = folder.isValid() ? folder.addExecutable(o_.framora) : QString();
    if (exe.isEmpty()) {
        failed_ = true;
        return;
    }
    const QString log = work(QStringLiteral("framora.log"));
    const auto cpuPercent = [&](const QStringList& argv, int settleMs, int measureMs,
                                qint64* peakKiB) {
        return cpuWhileRunning(argv, childEnvironment(), settleMs, measureMs, peakKiB, log);
    };
    std::vector<double> idle;
    std::vector<double> play720;
    std::vector<double> play1080;
    std::vector<double> peak1080;
    for (int i = 0; i < o_.runs; ++i) {
        idle.push_back(cpuPercent({exe}, 3000, 10000, nullptr));
        play720.push_back(
            cpuPercent({exe, clip(QStringLiteral("1280x720"))}, 1200, 10000, nullptr));
        qint64 peak = 0;
        play1080.push_back(
            cpuPercent({exe, clip(QStringLiteral("1920x1080"))}, 1200, 10000, &peak));
        peak1080.push_back(double(peak) / 1024.0);
    }
    line(QStringLiteral("| Measure | Median | Runs |"));
    line(QStringLiteral("|---|---|---|"));
    const auto runsText = [](const std::vector<double>& v, int decimals) {
        QStringList parts;
        for (double x : v)
            parts << fixed(x, decimals);
        return parts.join(QStringLiteral(", "));
    };
    line(QStringLiteral("| CPU, no video (10 ms timer ticking), %, 10 s | %1 | %2 |")
             .arg(fixed(median(idle), 2), runsText(idle, 2)));
    line(QStringLiteral("| CPU, playing 720p25, no capture, % of one core, 10 s | %1 | %2 |")
             .arg(fixed(median(play720)), runsText(play720, 1)));
    line(QStringLiteral("| CPU, playing 1080p25, no capture, % of one core, 10 s | %1 | %2 |")
             .arg(fixed(median(play1080)), runsText(play1080, 1)));
    line(QStringLiteral("| Peak memory (VmHWM) playing 1080p, MiB | %1 | %2 |")
             .arg(fixed(median(peak1080)), runsText(peak1080, 0)));
    for (const auto& [sizeText, mib] : capturePeakMiB_)
        line(
            QStringLiteral("| Peak memory (VmHWM) of the benchmark's main window during continuous "
                           "PNG capture at %1, MiB | %2 | |")
                .arg(sizeText, fixed(mib)));
    target(QStringLiteral("Idle CPU < %1 % (no video)").arg(kIdleTargetPercent),
           median(idle) < kIdleTargetPercent, QStringLiteral("%1 %").arg(fixed(median(idle), 2)));
    results_.insert(QStringLiteral("idleCpuPercent"), median(idle));
    results_.insert(QStringLiteral("playing720CpuPercent"), median(play720));
    results_.insert(QStringLiteral("playing1080CpuPercent"), median(play1080));
    results_.insert(QStringLiteral("playing1080PeakMiB"), median(peak1080));
}

double Report::cpuWhileRunning(const QStringList& argv, const QStringList& env, int settleMs,
                               int measureMs, qint64* peakKiB, const QString& log) const {
    RunningChild child(argv, env, log);
    if (!child.started())
        return -1.0;
    QThread::msleep(settleMs);
    const double cpu0 = child.cpuMs();
    const qint64 t0 = monotonicNs();
    QThread::msleep(measureMs);
    const double cpu1 = child.cpuMs();
    const double elapsedMs = double(monotonicNs() - t0) / 1e6;
    if (peakKiB)
        *peakKiB = child.peakMemoryKiB();
    if (!child.running())
        return -1.0;
    return (cpu1 - cpu0) / elapsedMs * 100.0;
}

void Report::startup() {
    line(QString());
    line(QStringLiteral("### Start-up: process start to the main window's first expose"));
    line(QString());
    line(QStringLiteral("The start-up of app/main.cpp step by step inside the benchmark program "
                        "(same libraries, same objects), started afresh each run under Xvfb; the "
                        "first run warms the page cache and is left out."));
    line(QString());
    Settings settings;
    settings.snapshotFolder = work(QStringLiteral("shots"));
    const BenchAppFolder folder(QCoreApplication::applicationDirPath(), settings);
    const QString exe = folder.isValid()
                            ? folder.addExecutable(QCoreApplication::applicationFilePath())
                            : QString();
    if (exe.isEmpty()) {
        failed_ = true;
        return;
    }
    std::vector<double> total;
    std::map<QString, std::vector<double>> steps;
    const QStringList names = {QStringLiteral("applicationMs"), QStringLiteral("engineMs"),
                               QStringLiteral("windowMs"),      QStringLiteral("loadMs"),
                               QStringLiteral("showMs"),        QStringLiteral("exposedMs"),
                               QStringLiteral("paintedMs")};
    for (int i = 0; i <= o_.runs; ++i) {
        const qint64 spawned = monotonicNs();
        const ChildResult child =
            runChild({exe, QStringLiteral("startup-probe")}, childEnvironment(), true,
                     work(QStringLiteral("children.log")));
        const QJsonObject json =
            QJsonDocument::fromJson(child.output.trimmed().split('\n').last()).object();
        if (!child.exited || json.isEmpty()) {
            failed_ = true;
            continue;
        }
        if (i == 0)
            continue;
        const double execMs =
            (json.value(QStringLiteral("mainNs")).toDouble() - double(spawned)) / 1e6;
        steps[QStringLiteral("main")].push_back(execMs);
        for (const QString& name : names)
            steps[name].push_back(execMs + json.value(name).toDouble());
        total.push_back(execMs + json.value(QStringLiteral("exposedMs")).toDouble());
    }
    line(QStringLiteral(
        "| Step (ms since process start, medians) | main() | QApplication | engine (libVLC) | "
        "MainForm built | Form_Load done | show() | first expose | first paint |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|"));
    QStringList cells;
    cells << fixed(median(steps[QStringLiteral("main")]));
    for (const QString& name : names)
        cells << fixed(median(steps[name]));
    line(QStringLiteral("| | ") + cells.join(QStringLiteral(" | ")) + QStringLiteral(" |"));
    target(QStringLiteral("Start-up < %1 ms to the shown window").arg(kStartupTargetMs),
           !total.empty() && median(total) < kStartupTargetMs,
           QStringLiteral("%1 ms (slowest run %2 ms)")
               .arg(fixed(median(total)), fixed(largest(total))));
    results_.insert(QStringLiteral("startupMs"), median(total));
}
