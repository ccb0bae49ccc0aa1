// The composition root: refuses a second copy, shows the splash, starts the media service
// and the engine over it, builds the settings, the capture service and the main window,
// connects them and runs the event loop.
#include "capture/CaptureService.h"
#include "platform/QtPlatform.h"
#include "platform/ScreenSaverInhibitor.h"
#include "playback/media/MediaService.h"
#include "playback/vlc/VlcEngine.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"
#include "shell/SplashForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>
#include <cstdio>

// The first argument that is not an option, as the system gave it.
static QByteArray videoArgument(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-')
            return QByteArray(argv[i]);
    }
    return {};
}

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
    // Before anything else starts: a refused second copy loads no engine. No
    // configuration has been read yet, so the refusal speaks in its default wording.
    if (platform.anotherInstanceRunning()) {
        (void)platform.messageBox(nullptr, QStringLiteral("The application is already running."),
                                  QStringLiteral("Warning"), MessageIcon::Exclamation,
                                  MessageButtons::Ok);
        return 0;
    }
    // The splash stays up while libVLC starts and the main window loads.
    SplashForm splash;
    splash.showNow();

    // Extra libVLC options for diagnosis and headless runs, e.g. "--aout=dummy".
    const QStringList engineArguments =
        qEnvironmentVariable("FRAMORA_VLC_ARGS").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    MediaService media;
    VlcEngine engine(media, engineArguments);
    CaptureService capture(engine, media);
    ScreenSaverInhibitor inhibitor;
    QObject::connect(&engine, &VlcEngine::screenAwakeChanged, &inhibitor,
                     &ScreenSaverInhibitor::setInhibited);
    Settings settings;
    MainForm form(settings, engine, capture, media, platform,
                  locateSettings(platform.applicationFolder(), userSettingsFolder()));
    form.Form_Load(&splash);
    form.show();
    if (!engine.isReady()) {
        std::fprintf(stderr, "framora: %s\n", qPrintable(engine.errorString()));
        form.showEngineError(engine.errorString());
    }
    const QStringList arguments = parser.positionalArguments();
    if (!arguments.isEmpty()) {
        // A name that is not text in the system's encoding cannot be handed on: it would
        // come back as another name.
        const QByteArray given = videoArgument(argc, argv);
        const bool textName = QFile::encodeName(QFile::decodeName(given)) == given;
        // Opened once the window is up, after any message of the start-up.
        QTimer::singleShot(0, &form, [&form, textName, path = arguments.first()] {
            if (textName)
                (void)form.openFromCommandLine(path);
            else
                form.refuseOpening(path, QStringLiteral("the file name is not valid text "
                                                        "(UTF-8); rename the file"));
        });
    }
    return QApplication::exec();
}
