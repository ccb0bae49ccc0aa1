#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// CLOCK_MONOTONIC in nanoseconds: the same clock in every process, so a child can
// report when something happened and its parent can subtract its own start time.
[[nodiscard]] qint64 monotonicNs();
// CPU time (user + system) of this process so far, in milliseconds.
[[nodiscard]] double processCpuMs();
// CPU time of this process's children that have ended and been waited for, in ms.
[[nodiscard]] double childrenCpuMs();
// Peak resident memory (VmHWM) in KiB of the process whose /proc status file this is
// ("/proc/self/status" for this one), 0 when unknown.
[[nodiscard]] qint64 peakMemoryKiBFrom(const QString& statusFile);

struct ChildResult {
    bool exited = false; // ran and ended with status 0
    double wallMs = 0;
    double cpuMs = 0;  // user + system of the child and its waited-for children
    QByteArray output; // standard output, when captured
};

// Runs argv to its end. env entries ("NAME=value") are added to this process's
// environment. Standard error goes to stderrPath (appended), or nowhere when empty.
[[nodiscard]] ChildResult runChild(const QStringList& argv, const QStringList& env = {},
                                   bool captureOutput = false, const QString& stderrPath = {});

// A child left running while it is measured from outside; killed and reaped on
// destruction.
class RunningChild {
public:
    RunningChild(const QStringList& argv, const QStringList& env, const QString& stderrPath);
    ~RunningChild();
    RunningChild(const RunningChild&) = delete;
    RunningChild& operator=(const RunningChild&) = delete;

    [[nodiscard]] bool started() const { return pid_ > 0; }
    [[nodiscard]] bool running() const;
    // True once the child has ended (it is reaped then, and its CPU time joins that of
    // this process's waited-for children: see childrenCpuMs()).
    [[nodiscard]] bool ended();
    // User + system time of every thread so far, in clock ticks converted to ms.
    [[nodiscard]] double cpuMs() const;
    // Peak resident memory (VmHWM) in KiB, 0 when unknown.
    [[nodiscard]] qint64 peakMemoryKiB() const;
    void stop();

private:
    pid_t pid_ = -1;
};
