// Claims the Framora instance lock named on the command line, like a starting program.
// Exit code 1: another instance holds it. 0: the claim was free. With "hold" as second
// argument the claim is kept: the probe prints "held" and sleeps until it is killed.
#include "platform/QtPlatform.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fputs("usage: instance_probe <lock file> [hold]\n", stderr);
        return 2;
    }
    QtPlatform platform(args.at(1));
    if (platform.anotherInstanceRunning())
        return 1;
    if (args.size() > 2 && args.at(2) == QLatin1String("hold")) {
        std::puts("held");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    return 0;
}
