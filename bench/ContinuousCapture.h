#pragma once

#include <QString>

class BenchApplication;

// What a user gets from continuous capture: the real main window with the real engine
// plays the clip, continuous capture runs for the given seconds (format "png", "jpg", or
// "none" for playback alone) and the images written are told apart by the hash of their
// pixels. Prints a JSON object on standard output.
int runContinuousCapture(BenchApplication& app, const QString& clip, const QString& format,
                         double seconds, double fps, const QString& outDir);
