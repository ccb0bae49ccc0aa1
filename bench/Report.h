#pragma once

#include <QString>
#include <QStringList>

struct ReportOptions {
    QString clips;       // folder of clip-<W>x<H>.mp4
    QStringList sizes;   // "1280x720", ...
    int runs = 5;        // medians over this many runs
    double seconds = 10; // of continuous capture per run
    QString work;        // scratch folder; results.md and results.json end up here
    QString framora;     // the program's executable
    QStringList parts;   // snapshot, continuous, idle, startup; empty = all
};

// Runs every measurement in a process of its own, ffmpeg beside ours, and prints the
// tables (Markdown) with the targets met or missed. Exit status 0 when everything ran.
int runReport(const ReportOptions& options);
