#include "bench/StartupProbe.h"

#include "bench/ChildProcess.h"
#include "capture/CaptureService.h"
#include "platform/QtPlatform.h"
#include "playback/media/MediaService.h"
#include "playback/vlc/VlcEngine.h"
#include "settings/Settings.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"
#include "shell/SplashForm.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {
// Notes the first expose of the window it watches, then the end of the pass of events
// that follows it (the first paint), and ends the event loop.
class ExposeWatch : public QObject {
public:
    explicit ExposeWatch(QWindow* window) : window_(window) { window->installEventFilter(this); }

    qint64 exposedNs = 0;
    qint64 paintedNs = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Expose && exposedNs == 0 &&
            window_->isExposed()) {
            exposedNs = monotonicNs();
            QTimer::singleShot(0, this, [this] {
                paintedNs = monotonicNs();
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    QWindow* window_;
};
} // namespace

int runStartupProbe(int& argc, char** argv, qint64 mainNs) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Framora"));
    QApplication::setWindowIcon(applicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("framora"));
    const qint64 appNs = monotonicNs();

    QtPlatform platform;
    if (platform.anotherInstanceRunning())
        return 1;
    SplashForm splash;
    splash.showNow();
    const QStringList engineArguments =
        qEnvironmentVariable("FRAMORA_VLC_ARGS").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    MediaService media;
    VlcEngine engine(media, engineArguments);
    CaptureService capture(engine, media);
    const qint64 engineNs = monotonicNs();
    Settings settings;
    MainForm form(settings, engine, capture, media, platform,
                  locateSettings(platform.applicationFolder(), userSettingsFolder()));
    const qint64 formNs = monotonicNs();
    form.Form_Load(&splash);
    const qint64 loadNs = monotonicNs();
    form.winId(); // the native window exists before show, so the watch sees its first expose
    ExposeWatch watch(form.windowHandle());
    form.show();
    const qint64 showNs = monotonicNs();
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    QApplication::exec();

    const auto ms = [mainNs](qint64 ns) { return ns > 0 ? double(ns - mainNs) / 1e6 : -1.0; };
    const QJsonObject json{{QStringLiteral("mainNs"), double(mainNs)},
                           {QStringLiteral("applicationMs"), ms(appNs)},
                           {QStringLiteral("engineMs"), ms(engineNs)},
                           {QStringLiteral("windowMs"), ms(formNs)},
                           {QStringLiteral("loadMs"), ms(loadNs)},
                           {QStringLiteral("showMs"), ms(showNs)},
                           {QStringLiteral("exposedMs"), ms(watch.exposedNs)},
                           {QStringLiteral("paintedMs"), ms(watch.paintedNs)}};
    std::printf("%s\n", QJsonDocument(json).toJson(QJsonDocument::Compact).constData());
    return watch.exposedNs > 0 ? 0 : 1;
}
