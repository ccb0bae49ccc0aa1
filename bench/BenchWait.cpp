#include "bench/BenchWait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

void waitFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        waitFor(2);
    }
    return true;
}
