// The composition root: hands a later start's file to the running instance, shows the
// splash, starts the media service and the engine over it, builds the settings, the capture
// service and the main window, connects them and runs the event loop.
#include "capture/CaptureService.h"
#include "localisation/TextLookup.h"
#include "platform/InstanceChannel.h"
#include "platform/QtPlatform.h"
#include "platform/ScreenSaverInhibitor.h"
#include "playback/media/MediaService.h"
#include "playback/vlc/VlcEngine.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"
#include "shell/SplashForm.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
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

// Whether the name the system gave is text in its encoding; another would come back as
// another name.
static bool isTextName(const QByteArray& given) {
    return QFile::encodeName(QFile::decodeName(given)) == given;
}

// Long enough for a running instance still starting up (its window not yet there).
constexpr int kHandOverTimeoutMs = 10000;

// A later start: its file goes to the running instance, which opens it and comes to the
// front; this one ends without a window. It speaks in the user's language when Config.cfg
// names one; nothing is written.
static int handOverToFirst(QtPlatform& platform, const QStringList& arguments,
                           const QByteArray& given) {
    const SettingsLocation location =
        locateSettings(platform.applicationFolder(), userSettingsFolder());
    Settings settings;
    (void)LoadConfiguration(location.configFile(), settings);
    const TextLookup lookup(platform.applicationFolder(), settings.languageFile,
                            location.errorLog());
    const auto tell = [&platform, &lookup](const QString& text) {
        (void)platform.messageBox(nullptr, text, lookup.text("013", "Warning"),
                                  MessageIcon::Exclamation, MessageButtons::Ok);
    };
    QString path;
    if (!arguments.isEmpty()) {
        if (!isTextName(given)) {
            tell(QStringLiteral("This file cannot be opened: the file name is not valid text "
                                "(UTF-8); rename the file.\n%1")
                     .arg(arguments.first()));
            return 1;
        }
        path = QFileInfo(arguments.first()).absoluteFilePath();
    }
    switch (handOverToRunningInstance(platform.instanceSocketPath(), path, kHandOverTimeoutMs)) {
    case HandOver::Delivered:
        return 0;
    case HandOver::NoAnswer:
        std::fprintf(stderr, "framora: the running instance does not answer\n");
        tell(lookup.text("049", "Framora is already running, but it does not respond, so "
                                "nothing was opened. Wait until it responds or close it, "
                                "then try again."));
        return 1;
    case HandOver::NoDoor:
        break;
    }
    tell(lookup.text("020", "The application is already running."));
    return 0;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Framora"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.0.%3")
                                            .arg(FRAMORA_VERSION_MAJOR)
                                            .arg(FRAMORA_VERSION_MINOR)
                                            .arg(FRAMORA_VERSION_REVISION));

    QApplication::setWindowIcon(applicationIcon());
    // Without a desktop's icon theme (a bare window manager) the file dialog's buttons
    // would be blank: the freedesktop theme the system ships stands in.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    QGuiApplication::setDesktopFileName(QStringLiteral("framora"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays a video and captures still images."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("video"), QStringLiteral("A video to open."),
                                 QStringLiteral("[VIDEO]"));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    const QByteArray given = videoArgument(argc, argv);
    QtPlatform platform;
    // Before anything else starts: a later start loads no engine.
    if (platform.anotherInstanceRunning())
        return handOverToFirst(platform, arguments, given);
    // Listening at once: a later start during ours waits for our answer.
    InstanceServer door;
    QString doorError;
    if (!door.listen(platform.instanceSocketPath(), &doorError))
        std::fprintf(stderr, "framora: later starts cannot hand their files over: %s\n",
                     qPrintable(doorError));
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
    QObject::connect(&door, &InstanceServer::handedOver, &form, [&form](const QString& path) {
        form.comeToFront();
        if (!path.isEmpty())
            (void)form.openFromCommandLine(path);
    });
    if (!engine.isReady()) {
        std::fprintf(stderr, "framora: %s\n", qPrintable(engine.errorString()));
        form.showEngineError(engine.errorString());
    }
    if (!arguments.isEmpty()) {
        const bool textName = isTextName(given);
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
