#pragma once

#include <QtGlobal>

// The program's own start-up, step by step as app/main.cpp takes it (application
// object, platform, settings, engine, main window, load, show), timed to the first
// expose of the main window. Prints a JSON object with the CLOCK_MONOTONIC time of each
// step; mainNs is when main() began.
int runStartupProbe(int& argc, char** argv, qint64 mainNs);
