// The composition root: builds the settings, the platform, the engine and the main
// window, connects them and runs the event loop.
#include "platform/QtPlatform.h"
#include "playback/vlc/VlcEngine.h"
#include "settings/Settings.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Framora"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.0.%3")
                                            .arg(FRAMORA_VERSION_MAJOR)
                                            .arg(FRAMORA_VERSION_MINOR)
                                            .arg(FRAMORA_VERSION_REVISION));

    QApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("framora"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a video and captures still images."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("video"), QStringLiteral("A video to open."),
                                 QStringLiteral("[VIDEO]"));
    parser.process(app);

    QtPlatform platform;
    Settings settings;
    // Extra libVLC options for diagnosis and headless runs, e.g. "--aout=dummy".
    const QStringList engineArguments =
        qEnvironmentVariable("FRAMORA_VLC_ARGS").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    VlcEngine engine(engineArguments);
    MainForm form(settings, engine, platform);
    engine.attachSurface(form.stage());
    if (!form.Form_Load())
        return 0;
    form.show();
    if (!engine.isReady()) {
        std::fprintf(stderr, "framora: %s\n", qPrintable(engine.errorString()));
        form.showEngineError(engine.errorString());
    }
    const QStringList arguments = parser.positionalArguments();
    if (!arguments.isEmpty()) {
        // Opened once the window is up, after any message of the start-up.
        QTimer::singleShot(
            0, &form, [&form, path = arguments.first()] { (void)form.openFromCommandLine(path); });
    }
    const int status = QApplication::exec();
    engine.attachSurface(nullptr);
    return status;
}
