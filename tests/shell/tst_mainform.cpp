// The main window with a recording engine and a scripted platform: start-up, opening,
// transport, the playback timer, the capture modes, resizing, dialogs and hover texts.
#include "support/FakeEngine.h"
#include "support/FakePlatform.h"

#include "platform/FileNames.h"
#include "playback/VideoSurface.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
// What EnablePlaybackControls switches.
const QStringList kPlaybackSet = {u"snapshotButton"_s,
                                  u"continuousSnapshotsButton"_s,
                                  u"timedSnapshotsButton"_s,
                                  u"fullScreenButton"_s,
                                  u"Command1"_s,
                                  u"Command2"_s,
                                  u"rewindButton"_s,
                                  u"pauseButton"_s,
                                  u"stopButton"_s,
                                  u"ffButton"_s};

// One main window over a fresh application folder whose Config.cfg skips the interval
// prompt and keeps snapshots under <folder>/shots.
struct Rig {
    QTemporaryDir dir;
    Settings settings;
    FakeEngine engine;
    FakePlatform platform{dir.path()};
    std::unique_ptr<MainForm> form;

    explicit Rig(bool withConfig = true) {
        if (withConfig) {
            Settings stored;
            stored.snapshotFolder = dir.path() + u"/shots"_s;
            stored.skipTimedPrompt = 1;
            (void)SaveConfiguration(dir.path() + u"/Config.cfg"_s, stored);
        }
        form = std::make_unique<MainForm>(settings, engine, platform);
    }
    void writePack(const QString& name, const QByteArray& body) const {
        QDir(dir.path()).mkpath(u"Lang"_s);
        QFile file(dir.path() + u"/Lang/"_s + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Framora Language Pack]\r\n" + body);
    }
    bool load() { return form->Form_Load(); }
    // Loaded, then a video opened as File > Open does and playing at 3 s of 12.
    bool loadPlaying() {
        if (!load())
            return false;
        play();
        return true;
    }
    void play(const QString& path = u"/videos/clip.avi"_s) {
        platform.openFileAnswer = path;
        form->openMenu_Click();
        engine.playing = true;
        engine.position = 0.25f;
        engine.time = 3;
        engine.length = 12;
        form->movieTimer_Timer();
        engine.calls.clear();
    }
    template <typename T = QWidget> T* control(const QString& name) const {
        return form->findChild<T*>(name);
    }
    QAction* action(const QString& name) const { return control<QAction>(name); }
    bool enabled(const QString& name) const { return control(name)->isEnabled(); }
    QString label(const QString& name) const { return control<QLabel>(name)->text(); }
    QTimer* timer(const QString& name) const { return control<QTimer>(name); }
    void click(const QString& name) const { control<QPushButton>(name)->click(); }
    // Every message box shown, as "<icon> <title>: <text> [<buttons>]".
    QStringList messages() const {
        static const char* const icons[] = {"None", "Critical", "Exclamation", "Question"};
        QStringList shown;
        for (const FakePlatform::Message& m : platform.messages)
            shown << u"%1 %2: %3 [%4]"_s.arg(QLatin1String(icons[int(m.icon)]), m.title, m.text,
                                             m.buttons == MessageButtons::Ok ? "Ok" : "YesNo");
        return shown;
    }
};

using RigStep = std::function<void(Rig&)>;
using Handler = void (MainForm::*)();
} // namespace
Q_DECLARE_METATYPE(RigStep)
Q_DECLARE_METATYPE(Handler)

class TestMainForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpState() {
        Rig rig;
        rig.engine.volume = 37;
        QVERIFY(rig.load());
        for (const QString& name : kPlaybackSet + QStringList{u"playButton"_s})
            QVERIFY2(!rig.enabled(name), qPrintable(name));
        for (const QString& name : {u"muteStatus"_s, u"volumeSlider"_s, u"browseCommand"_s})
            QVERIFY2(rig.enabled(name), qPrintable(name));
        QVERIFY(!rig.action(u"editMenu"_s)->isEnabled());
        QVERIFY(!rig.action(u"snapshotCommand"_s)->isEnabled());
        QVERIFY(rig.action(u"fileMenu"_s)->isEnabled());
        QVERIFY(!rig.action(u"separator1"_s)->isVisible());
        QVERIFY(!rig.action(u"checkUpdates"_s)->isVisible());
        QCOMPARE(rig.label(u"timeElapsed"_s), QString());
        QCOMPARE(rig.control<QProgressBar>(u"movieProgress"_s)->value(), 0);
        QCOMPARE(rig.control<QSlider>(u"volumeSlider"_s)->value(), 37);
        QCOMPARE(rig.control<QLineEdit>(u"quickSnapshotFolder"_s)->text(),
                 rig.dir.path() + u"/shots"_s);
        QCOMPARE(rig.control<QGroupBox>(u"quickPath"_s)->title(), u"Snapshots Path"_s);
        QVERIFY(rig.platform.messages.isEmpty());
    }

    void recoveryMessageComesAfterCaptionsAndSplash() {
        Rig rig(false);
        rig.writePack(u"English.ini"_s, "10=&Datei\r\n08=Broken.\r\n");
        QString menuAtMessage;
        rig.platform.onMessage = [&](const FakePlatform::Message&) {
            menuAtMessage = rig.control<QMenu>(u"fileMenu"_s)->title();
        };
        QVERIFY(rig.load());
        QCOMPARE(rig.messages(),
                 QStringList{
                     u"Critical Error: Broken.\rA new one was created with the defaults. [Ok]"_s});
        QCOMPARE(menuAtMessage, u"&Datei"_s);
        QCOMPARE(rig.settings, Settings{});
    }

    // A Config.cfg that cannot be replaced (here a folder of that name): the defaults are
    // used, and the message must not claim that a new file was made.
    void recoveryThatCannotWriteSaysSo() {
        Rig rig(false);
        QVERIFY(QDir(rig.dir.path()).mkdir(u"Config.cfg"_s));
        QVERIFY(rig.load());
        QCOMPARE(rig.settings, Settings{});
        QCOMPARE(rig.messages().size(), 1);
        const QString shown = rig.messages().first();
        QVERIFY2(shown.startsWith(u"Critical Error: Error in the configuration file.\rThe "
                                  "defaults are used, but they could not be saved to "_s +
                                  rig.dir.path() + u"/Config.cfg: "_s),
                 qPrintable(shown));
    }

    void secondInstanceIsRefused() {
        Rig rig(false);
        rig.platform.otherInstance = true;
        QVERIFY(!rig.load());
        QCOMPARE(rig.messages(),
                 QStringList{u"Exclamation Warning: The application is already running. [Ok]"_s});
        // Nothing of the load ran: the configuration was not even created.
        QVERIFY(!QFile::exists(rig.dir.path() + u"/Config.cfg"_s));
    }

    void loadAndReloadCallOrder() {
        Rig rig;
        QVERIFY(rig.load());
        rig.platform.openFileAnswer = u"/videos/My Clip.AVI"_s;
        rig.form->openMenu_Click();
        QCOMPARE(rig.platform.lastOpenFilter,
                 u"All Supported Formats|*.mpg;*.avi;*.mpe;*.3gp;*.3g2;*.asf;*.hdmov;*.m4v;*.mkv;"
                 "*.mp4;*.wmv;*.vob|MPG|*.mpg|AVI|*.avi|MPE|*.mpe|3GP|*.3gp|3G2|*.3g2|ASF|*.asf|"
                 "HDMOV|*.hdmov|M4V|*.m4v|MKV|*.mkv|MP4|*.mp4|WMV|*.wmv|VOB|*.vob"_s);
        const QString options =
            u"[overlay,snapshot-prefix=IMG_,snapshot-path=%1/shots/My Clip.AVI "
            "Images,snapshot-format=PNG,no-snapshot-preview,snapshot-sequential,"
            "disable-screensaver]"_s.arg(rig.dir.path());
        QCOMPARE(rig.engine.calls,
                 QStringList({u"playlistClear"_s,
                              u"addTarget /videos/My Clip.AVI "_s + options + " 10 0", u"play"_s}));
        QCOMPARE(rig.form->currentVideo, u"/videos/My Clip.AVI"_s);
        QCOMPARE(rig.form->windowTitle(), u"Framora [ My Clip.AVI ]"_s);
        QVERIFY(rig.control(u"logoHide"_s)->isHidden());
        QVERIFY(rig.enabled(u"fullScreenButton"_s));

        // The dialog cancelled: nothing.
        rig.engine.calls.clear();
        rig.platform.openFileAnswer.clear();
        rig.form->openMenu_Click();
        QVERIFY(rig.engine.calls.isEmpty());

        // A reload stops first, then puts the same video back with mode 2 and a normal speed.
        rig.engine.position = 0.25f;
        rig.form->speedStep = 1;
        rig.form->ReloadVideo();
        QCOMPARE(rig.engine.calls.mid(0, 3),
                 QStringList({u"stop"_s, u"playlistClear"_s,
                              u"addTarget /videos/My Clip.AVI "_s + options + " 2 0"}));
        QCOMPARE(rig.form->speedStep, 0);
    }

    void drops_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("upper-case extension") << QStringList{u"/v/Clip.AVI"_s} << u"/v/Clip.AVI"_s;
        QTest::newRow("double extension") << QStringList{u"/v/movie.mp4.txt"_s} << QString();
        QTest::newRow("hdmov") << QStringList{u"/v/film.hdmov"_s} << u"/v/film.hdmov"_s;
        QTest::newRow("first of two") << QStringList{u"/v/a.mkv"_s, u"/v/b.mp4"_s} << u"/v/a.mkv"_s;
        QTest::newRow("unsupported first")
            << QStringList{u"/v/a.txt"_s, u"/v/b.mp4"_s} << QString();
        QTest::newRow("web address first")
            << QStringList{u"https://example.com/a.mp4"_s, u"/v/b.mp4"_s} << QString();
        QTest::newRow("web address second")
            << QStringList{u"/v/b.mp4"_s, u"https://example.com/a.mp4"_s} << u"/v/b.mp4"_s;
        QTest::newRow("nothing") << QStringList{} << QString();
    }

    // Dropped on the cover as a file manager or a browser drops: a list of addresses.
    void drops() {
        QFETCH(QStringList, files);
        QFETCH(QString, loaded);
        Rig rig;
        QVERIFY(rig.load());
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files)
            urls << (file.startsWith(u"https:"_s) ? QUrl(file) : QUrl::fromLocalFile(file));
        data.setUrls(urls);
        // Qt delivers a drop to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(rig.control(u"logoHide"_s), &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(rig.control(u"logoHide"_s), &drop);
        QCOMPARE(rig.form->currentVideo, loaded);
        QCOMPARE(rig.engine.callsStartingWith(u"addTarget"_s).size(), loaded.isEmpty() ? 0 : 1);
        if (!loaded.isEmpty())
            QVERIFY(rig.engine.lastOptions.at(2).endsWith(fileNameOf(loaded) + u" Images"_s));
        QCOMPARE(rig.form->windowTitle(), u"Framora"_s);
    }

    void noVideoNoEngineCall_data() {
        QTest::addColumn<Handler>("handler");
        QTest::newRow("play") << &MainForm::playButton_Click;
        QTest::newRow("pause") << &MainForm::pauseButton_Click;
        QTest::newRow("stop") << &MainForm::stopButton_Click;
        QTest::newRow("rewind") << &MainForm::rewindButton_Click;
        QTest::newRow("fast forward") << &MainForm::ffButton_Click;
        QTest::newRow("slower") << &MainForm::Command1_Click;
        QTest::newRow("faster") << &MainForm::Command2_Click;
        QTest::newRow("full screen") << &MainForm::fullScreenButton_Click;
        QTest::newRow("snapshot button") << &MainForm::snapshotButton_Click;
    }

    void noVideoNoEngineCall() {
        QFETCH(Handler, handler);
        Rig rig;
        QVERIFY(rig.load());
        (rig.form.get()->*handler)();
        QVERIFY2(rig.engine.calls.isEmpty(), qPrintable(rig.engine.calls.join(u", "_s)));
        QCOMPARE(rig.platform.beeps, 0);
        QCOMPARE(rig.messages(), QStringList());
    }

    void speedSteps() {
        Rig rig;
        QVERIFY(rig.loadPlaying());
        rig.form->Command2_Click();
        rig.form->Command2_Click();
        QCOMPARE(rig.platform.beeps, 1);
        QCOMPARE(rig.form->speedStep, 1);
        rig.form->Command1_Click();
        rig.form->Command1_Click();
        rig.form->Command1_Click();
        QCOMPARE(rig.platform.beeps, 2);
        QCOMPARE(rig.form->speedStep, -1);
        QCOMPARE(rig.engine.calls,
                 QStringList({u"playFaster"_s, u"playSlower"_s, u"playSlower"_s}));
    }

    void muteTwiceAndSliderWhileMuted() {
        Rig rig;
        QVERIFY(rig.load());
        QCOMPARE(rig.form->muteCaption(), kSoundOnCaption);
        rig.form->muteStatus_Click();
        QCOMPARE(rig.form->muteCaption(), kMutedCaption);
        rig.form->muteStatus_Click();
        QCOMPARE(rig.form->muteCaption(), kSoundOnCaption);
        QCOMPARE(rig.engine.calls, QStringList({u"toggleMute"_s, u"toggleMute"_s}));

        rig.form->muteStatus_Click();
        rig.engine.calls.clear();
        rig.control<QSlider>(u"volumeSlider"_s)->setValue(80);
        rig.form->volumeSlider_MouseDown(Qt::RightButton);
        QVERIFY(rig.engine.calls.isEmpty());
        QCOMPARE(rig.label(u"toolTips"_s), u"Volume"_s); // tooltip first, whatever the button
        rig.form->volumeSlider_MouseDown(Qt::LeftButton);
        QCOMPARE(rig.engine.calls, QStringList({u"setVolume 80"_s, u"toggleMute"_s}));
        QCOMPARE(rig.form->muteCaption(), kSoundOnCaption);

        // The wheel moves the handle, and the engine's volume with it.
        rig.engine.calls.clear();
        auto* slider = rig.control<QSlider>(u"volumeSlider"_s);
        QWheelEvent wheel(QPointF(5, 5), slider->mapToGlobal(QPointF(5, 5)), {}, {0, 120},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(slider, &wheel);
        QVERIFY(slider->value() != 80);
        QCOMPARE(rig.engine.calls, QStringList{u"setVolume %1"_s.arg(slider->value())});
    }

    void seek_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<double>("fractionOfWidth");
        QTest::addColumn<bool>("seeks");
        QTest::newRow("left edge") << Qt::LeftButton << 0.0 << true;
        QTest::newRow("middle") << Qt::LeftButton << 0.5 << true;
        QTest::newRow("right button") << Qt::RightButton << 0.5 << false;
    }

    void seek() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(double, fractionOfWidth);
        QFETCH(bool, seeks);
        Rig rig;
        rig.form->show();
        QVERIFY(rig.loadPlaying());
        auto* bar = rig.control<QProgressBar>(u"movieProgress"_s);
        const int x = static_cast<int>(bar->width() * fractionOfWidth);
        QTest::mouseClick(bar, button, {}, QPoint(x, 5));
        const QStringList calls = rig.engine.callsStartingWith(u"setPosition "_s);
        QCOMPARE(calls.size(), seeks ? 1 : 0);
        if (seeks)
            QVERIFY(qAbs(calls.first().mid(12).toDouble() - double(x) / bar->width()) < 1e-4);
    }

    void timerTickBranches() {
        Rig rig;
        QVERIFY(rig.loadPlaying());
        auto* cover = rig.control(u"logoHide"_s);
        rig.form->movieTimer_Timer();
        QVERIFY(cover->isHidden());
        QCOMPARE(rig.control<QProgressBar>(u"movieProgress"_s)->value(), 25);
        QCOMPARE(rig.label(u"timeElapsed"_s), u"00:00:03 / 00:00:12"_s);

        // Ended by itself: the set stays on until the engine reports no media.
        rig.engine.playing = false;
        rig.form->movieTimer_Timer();
        QVERIFY(rig.enabled(u"fullScreenButton"_s));
        QVERIFY(cover->isHidden());
        rig.engine.position = -1;
        rig.form->movieTimer_Timer();
        QVERIFY(!cover->isHidden());
        for (const QString& name : kPlaybackSet)
            QVERIFY2(!rig.enabled(name), qPrintable(name));
        QVERIFY(rig.enabled(u"playButton"_s));
        QCOMPARE(rig.label(u"timeElapsed"_s), QString());

        // Playing again switches the set back on at the next tick.
        rig.engine.playing = true;
        rig.engine.position = 0.5f;
        rig.form->movieTimer_Timer();
        QVERIFY(cover->isHidden());
        QVERIFY(rig.enabled(u"fullScreenButton"_s));
    }

    void timeLabel_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << 0 << u"00:00:00"_s;
        QTest::newRow("59") << 59 << u"00:00:59"_s;
        QTest::newRow("61") << 61 << u"00:01:01"_s;
        QTest::newRow("3600") << 3600 << u"01:00:00"_s;
        QTest::newRow("360000: hours are not limited") << 360000 << u"100:00:00"_s;
    }

    void timeLabel() {
        QFETCH(int, seconds);
        QFETCH(QString, shown);
        Rig rig;
        QVERIFY(rig.loadPlaying());
        rig.engine.time = seconds;
        rig.engine.length = 360000;
        rig.form->movieTimer_Timer();
        QCOMPARE(rig.label(u"timeElapsed"_s), shown + u" / 100:00:00"_s);
    }

    void captureModeStateTable() {
        Rig rig;
        QVERIFY(rig.loadPlaying());
        // Single, continuous and timed buttons enabled, and the timed capture timer running.
        const auto states = [&rig] {
            return QList<bool>{
                rig.enabled(u"snapshotButton"_s), rig.enabled(u"continuousSnapshotsButton"_s),
                rig.enabled(u"timedSnapshotsButton"_s), rig.timer(u"snapshotsTimer"_s)->isActive()};
        };
        QCOMPARE(states(), QList<bool>({true, true, true, false}));
        rig.click(u"continuousSnapshotsButton"_s);
        QVERIFY(rig.form->continuousCapture);
        QCOMPARE(states(), QList<bool>({false, true, false, false}));
        // Every playing tick takes one snapshot, into a per-video folder made for it.
        rig.form->movieTimer_Timer();
        QCOMPARE(rig.engine.callsStartingWith(u"setVariable"_s),
                 QStringList({u"setVariable key-snapshot 83"_s, u"setVariable key-pressed 83"_s}));
        QVERIFY(QDir(rig.dir.path() + u"/shots/clip.avi Images"_s).exists());
        rig.click(u"continuousSnapshotsButton"_s);
        QCOMPARE(states(), QList<bool>({true, true, true, false}));

        rig.click(u"timedSnapshotsButton"_s);
        QVERIFY(rig.form->timedCapture);
        QCOMPARE(states(), QList<bool>({false, false, true, true}));
        QCOMPARE(rig.timer(u"snapshotsTimer"_s)->interval(), 5000);

        // Through the menu both modes can run at once.
        rig.action(u"continuousSnapshots"_s)->trigger();
        QVERIFY(rig.form->continuousCapture && rig.form->timedCapture);
        rig.action(u"continuousSnapshots"_s)->trigger();
        QVERIFY(!rig.form->continuousCapture);
        rig.click(u"timedSnapshotsButton"_s);
        QCOMPARE(states(), QList<bool>({true, true, true, false}));
    }

    void timedCaptureWithPromptAndCancel() {
        Rig rig;
        QVERIFY(rig.loadPlaying());
        rig.settings.skipTimedPrompt = 0;
        const auto answer = [&rig](const QString& typed, const QString& button) {
            rig.platform.dialogScript = [typed, button](QDialog& dialog) {
                dialog.findChild<QLineEdit*>(u"milliseconds"_s)->setText(typed);
                dialog.findChild<QPushButton*>(button)->click();
                return dialog.result();
            };
        };
        answer(u"1500.6"_s, u"OKButton"_s);
        rig.form->timedSnapshotsButton_Click();
        QVERIFY(rig.form->timedCapture);
        QCOMPARE(rig.settings.timedInterval, 1501);
        QCOMPARE(rig.timer(u"snapshotsTimer"_s)->interval(), 1501);
        // The first snapshot does not wait for the interval.
        QCOMPARE(rig.engine.callsStartingWith(u"setVariable"_s).size(), 2);
        rig.form->timedSnapshotsButton_Click();

        rig.engine.calls.clear();
        answer(u"2000"_s, u"CancelButton"_s);
        rig.form->timedSnapshotsButton_Click();
        QVERIFY(!rig.form->timedCapture);
        QVERIFY(rig.engine.calls.isEmpty());
        QCOMPARE(rig.settings.timedInterval, 1501);

        // The video went away while the dialog was open: nothing starts, nothing fails.
        rig.platform.dialogScript = [&rig](QDialog& dialog) {
            rig.engine.playing = false;
            rig.engine.position = -1;
            dialog.findChild<QLineEdit*>(u"milliseconds"_s)->setText(u"3000"_s);
            dialog.findChild<QPushButton*>(u"OKButton"_s)->click();
            return dialog.result();
        };
        rig.form->timedSnapshotsButton_Click();
        QVERIFY(!rig.form->timedCapture);
        QVERIFY(!rig.timer(u"snapshotsTimer"_s)->isActive());
        QVERIFY(rig.engine.calls.isEmpty());
        QCOMPARE(rig.messages(), QStringList());
    }

    void captureEnds_data() {
        QTest::addColumn<bool>("continuous");
        QTest::addColumn<bool>("timed");
        QTest::addColumn<RigStep>("event");
        QTest::addColumn<bool>("buttonsOn"); // the single, continuous and timed buttons after it
        QTest::addColumn<QString>("message");
        QTest::newRow("Stop during timed capture") << false << true << RigStep([](Rig& r) {
            r.form->stopButton_Click();
            QVERIFY(r.engine.calls.contains(u"stop"_s));
        }) << false << QString();
        QTest::newRow("end of video, Length 0") << true << true << RigStep([](Rig& r) {
            r.engine.length = 0;
            r.form->movieTimer_Timer();
        }) << true << QString();
        // Not the end of the video: the media went away (Position negative).
        QTest::newRow("media gone") << false << true << RigStep([](Rig& r) {
            r.engine.playing = false;
            r.engine.position = -1;
            r.form->movieTimer_Timer();
        }) << false << QString();
        QTest::newRow("snapshot failed on the worker") << true << false << RigStep([](Rig& r) {
            Q_EMIT r.engine.snapshotFailed(u"Cannot write /x/IMG_00001.png: Disk full"_s);
        }) << true << u"None : Error\n\nCannot write /x/IMG_00001.png: Disk full [Ok]"_s;
        QTest::newRow("snapshot refused at once") << false << true << RigStep([](Rig& r) {
            r.engine.snapshotAccepted = false;
            r.form->snapshotsTimer_Timer();
        }) << true << u"None : Error [Ok]"_s;
    }

    void captureEnds() {
        QFETCH(bool, continuous);
        QFETCH(bool, timed);
        QFETCH(RigStep, event);
        QFETCH(bool, buttonsOn);
        QFETCH(QString, message);
        Rig rig;
        QVERIFY(rig.loadPlaying());
        if (continuous)
            rig.form->continuousSnapshotsButton_Click();
        if (timed)
            rig.form->timedSnapshotsButton_Click();
        QVERIFY(rig.form->continuousCapture == continuous && rig.form->timedCapture == timed);
        event(rig);
        QVERIFY(!rig.form->continuousCapture);
        QVERIFY(!rig.form->timedCapture);
        QVERIFY(!rig.timer(u"snapshotsTimer"_s)->isActive());
        for (const QString& name :
             {u"snapshotButton"_s, u"continuousSnapshotsButton"_s, u"timedSnapshotsButton"_s})
            QVERIFY2(rig.enabled(name) == buttonsOn, qPrintable(name));
        // One message per failed snapshot, however many modes it ended.
        QCOMPARE(rig.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    // Nothing on screen, so no reload was offered when the settings changed: the next
    // Play puts the video back with them first. Without a change it only plays.
    // A Config.cfg from Windows names "C:\": rather than into a folder of that name
    // wherever the program was started, nothing is written and the user is told.
    void snapshotFolderNotAFullPath() {
        Rig rig;
        QVERIFY(rig.load());
        rig.settings.snapshotFolder = u"C:\\"_s;
        rig.play();
        rig.form->snapshotButton_Click();
        QVERIFY(rig.engine.callsStartingWith(u"setVariable"_s).isEmpty());
        QCOMPARE(rig.messages(),
                 QStringList{u"None : Error\n\nThe snapshots path is not a full path: \"C:\\\". "
                             "Choose a folder with Browse. [Ok]"_s});
    }

    void playAfterStopTakesChangedSettings() {
        Rig rig;
        QVERIFY(rig.loadPlaying());
        const auto stopped = [&rig] {
            rig.form->stopButton_Click();
            rig.engine.playing = false;
            rig.engine.position = -1;
            rig.form->movieTimer_Timer();
            QVERIFY(!rig.form->videoOnScreen());
            rig.engine.calls.clear();
        };
        stopped();
        rig.form->playButton_Click();
        QCOMPARE(rig.engine.calls, QStringList{u"play"_s});

        stopped();
        rig.platform.folderAnswer = rig.dir.path() + u"/other"_s;
        rig.form->browseCommand_Click();
        QCOMPARE(rig.messages(), QStringList());
        rig.form->playButton_Click();
        QCOMPARE(rig.engine.callsStartingWith(u"addTarget"_s).size(), 1);
        QVERIFY(rig.engine.lastOptions.at(2).endsWith(u"/other/clip.avi Images"_s));
        QCOMPARE(rig.engine.calls.last(), u"play"_s);
    }

    void shortcutsInFullScreen() {
        Rig rig;
        rig.form->show();
        QVERIFY(rig.loadPlaying());
        rig.form->stage()->setFullScreen(true);
        QWidget* window = rig.form->stage()->fullScreenWindow();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::keyClick(window, Qt::Key_F1, Qt::ControlModifier);
        QCOMPARE(rig.engine.callsStartingWith(u"setVariable"_s).size(), 2);
        QTest::keyClick(window, Qt::Key_F2, Qt::ControlModifier);
        QVERIFY(rig.form->continuousCapture);
        rig.form->stage()->setFullScreen(false);
    }

    void pauseFlipsTimedCaptureTimer() {
        Rig rig;
        QVERIFY(rig.loadPlaying());
        rig.form->timedSnapshotsButton_Click();
        QTimer* timer = rig.timer(u"snapshotsTimer"_s);
        rig.form->pauseButton_Click();
        QVERIFY(!timer->isActive());
        for (const QString& name : {u"pauseButton"_s, u"rewindButton"_s, u"ffButton"_s})
            QVERIFY2(!rig.enabled(name), qPrintable(name));
        // Play does not touch the timer; the next Pause switches it back on.
        rig.engine.playing = false;
        rig.form->playButton_Click();
        QVERIFY(!timer->isActive());
        rig.form->pauseButton_Click();
        QVERIFY(timer->isActive());
    }

    void unplayableFileIsReported() {
        Rig rig;
        QVERIFY(rig.load());
        Q_EMIT rig.engine.playbackFailed(u"/videos/notes.avi"_s);
        QCOMPARE(rig.messages().size(), 1);
        QVERIFY(rig.messages().first().startsWith(u"Critical Error: "_s));
        QVERIFY(rig.messages().first().contains(u"notes.avi"_s));

        // Once the window is closed, late reports of the engine show nothing: a box then
        // would keep the program alive with no window.
        QVERIFY(rig.form->close());
        Q_EMIT rig.engine.playbackFailed(u"/videos/notes.avi"_s);
        Q_EMIT rig.engine.snapshotFailed(u"Disk full"_s);
        QCOMPARE(rig.messages().size(), 1);
    }

    void closeQuestion_data() {
        QTest::addColumn<bool>("capturing");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("idle") << false << MessageAnswer::No << true;
        QTest::newRow("capturing, no") << true << MessageAnswer::No << false;
        QTest::newRow("capturing, yes") << true << MessageAnswer::Yes << true;
    }

    void closeQuestion() {
        QFETCH(bool, capturing);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, closes);
        Rig rig;
        rig.form->show();
        QVERIFY(rig.loadPlaying());
        if (capturing)
            rig.form->continuousSnapshotsButton_Click();
        rig.platform.answers = {answer};
        QCOMPARE(rig.form->close(), closes);
        const QString question =
            u"Exclamation : Capturing process is running now are you sure to exit? [YesNo]"_s;
        QCOMPARE(rig.messages(), capturing ? QStringList{question} : QStringList());
        QCOMPARE(rig.form->continuousCapture, capturing);
    }

    void resizeKeepsMinimumAndIgnoresMinimised() {
        Rig rig;
        QVERIFY(rig.load());
        rig.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.form.get()));
        const QSize minimum = rig.form->size();
        QWidget* bar = rig.control(u"movieProgress"_s);
        const int narrow = bar->width();

        rig.form->resize(minimum.width() + 200, minimum.height());
        QTRY_COMPARE(bar->width(), narrow + 200);

        // Nothing moves while minimised.
        const QRect wide = bar->geometry();
        rig.form->setWindowState(Qt::WindowMinimized);
        rig.form->resize(minimum.width() + 400, minimum.height() + 100);
        QTRY_COMPARE(rig.form->width(), minimum.width() + 400);
        QCOMPARE(bar->geometry(), wide);

        rig.form->setWindowState(Qt::WindowNoState);
        rig.form->resize(100, 100);
        QTRY_COMPARE(rig.form->size(), minimum);
        QCOMPARE(bar->width(), narrow);
    }

    void hoverTexts() {
        Rig rig;
        // A pack that translates Pause but not Stop.
        rig.writePack(u"English.ini"_s, "029=Pausa\r\n");
        QVERIFY(rig.load());
        rig.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.form.get()));
        const auto hover = [&rig](const char* name, QPoint at) {
            QTest::mouseMove(rig.control(QLatin1String(name)), at);
            return rig.label(u"toolTips"_s);
        };
        // Disabled buttons give no hover text.
        QCOMPARE(hover("stopButton", {5, 5}), QString());

        // Playing, so that the running playback timer keeps the buttons enabled.
        rig.play();
        QTimer* timer = rig.timer(u"toolTipTimer"_s);
        QCOMPARE(hover("pauseButton", {5, 5}), u"Pausa"_s);
        QVERIFY(timer->isActive());
        QCOMPARE(hover("stopButton", {5, 5}), u"Stop"_s);
        // Moving within one control neither restarts the timer nor changes the text.
        timer->stop();
        QCOMPARE(hover("stopButton", {9, 9}), u"Stop"_s);
        QVERIFY(!timer->isActive());
        rig.form->toolTipTimer_Timer();
        QCOMPARE(rig.label(u"toolTips"_s), QString());
        QCOMPARE(hover("stopButton", {6, 6}), u"Stop"_s);

        QCOMPARE(hover("muteStatus", {5, 5}), u"Mute"_s);
        rig.form->muteStatus_Click();
        QCOMPARE(hover("muteStatus", {6, 5}), u"Sound"_s);
    }

    void reloadPromptOnlyWithVideoOnScreen() {
        Rig rig;
        QVERIFY(rig.load());
        const QString other = rig.dir.path() + u"/other"_s;
        rig.platform.folderAnswer = other;
        rig.form->browseCommand_Click();
        QCOMPARE(rig.messages(), QStringList());
        QCOMPARE(rig.settings.snapshotFolder, other);
        Settings reread;
        QVERIFY(LoadConfiguration(rig.dir.path() + u"/Config.cfg"_s, reread));
        QCOMPARE(reread.snapshotFolder, other);

        rig.platform.openFileAnswer = u"/videos/clip.avi"_s;
        rig.form->openMenu_Click();
        rig.engine.calls.clear();
        rig.platform.answers = {MessageAnswer::Yes};
        rig.form->browseCommand_Click();
        QCOMPARE(rig.messages(),
                 QStringList{u"Question Warning: Some changes need the video to be "
                             "reloaded. Do you want to reload the video? [YesNo]"_s});
        QCOMPARE(rig.engine.callsStartingWith(u"addTarget"_s).size(), 1);
        QVERIFY(rig.engine.lastOptions.at(2).contains(u"/other"_s));

        // Cancelled browse: nothing happens at all.
        rig.platform.folderAnswer.clear();
        rig.engine.calls.clear();
        rig.form->browseCommand_Click();
        QCOMPARE(rig.messages().size(), 1);
        QVERIFY(rig.engine.calls.isEmpty());

        // Another folder without a reload: snapshots still go where the engine writes, so
        // that is the folder made for them.
        const QString third = rig.dir.path() + u"/third"_s;
        rig.platform.folderAnswer = third;
        rig.platform.answers = {MessageAnswer::No};
        rig.form->browseCommand_Click();
        QCOMPARE(rig.settings.snapshotFolder, third);
        rig.engine.position = 0.25f;
        rig.form->snapshotButton_Click();
        QCOMPARE(rig.engine.callsStartingWith(u"setVariable"_s).size(), 2);
        QVERIFY(QDir(other + u"/clip.avi Images"_s).exists());
        QVERIFY(!QDir(third).exists());
    }

    void optionsSwitchLanguageAtOnce() {
        Rig rig;
        rig.writePack(u"English.ini"_s, "");
        rig.writePack(u"German.ini"_s, "10=&Datei\r\n70=Optionen\r\n75=Speicherort:\r\n");
        QVERIFY(rig.load());
        QString reopenedTitle;
        rig.platform.dialogScript = [&](QDialog& dialog) {
            reopenedTitle = dialog.windowTitle();
            dialog.findChild<QComboBox*>(u"availableLanguages"_s)->setCurrentText(u"German"_s);
            dialog.findChild<QPushButton*>(u"OKButton"_s)->click();
            return dialog.result();
        };
        rig.form->optionsMenuCommand_Click();
        QCOMPARE(reopenedTitle, u"Options"_s);
        QCOMPARE(rig.settings.languageFile, u"German.ini"_s);
        QCOMPARE(rig.control<QMenu>(u"fileMenu"_s)->title(), u"&Datei"_s);
        QCOMPARE(rig.control<QGroupBox>(u"quickPath"_s)->title(), u"Speicherort"_s);
        rig.form->optionsMenuCommand_Click();
        QCOMPARE(reopenedTitle, u"Optionen"_s);
    }

    void aboutTextsInPackLanguage() {
        Rig rig;
        rig.writePack(u"English.ini"_s,
                      "03=&Gut\r\n51=Über\r\n52=Fassung\r\n53=Bilder aus Videos.\r\n");
        QVERIFY(rig.load());
        QStringList shown;
        rig.platform.dialogScript = [&](QDialog& dialog) {
            shown << dialog.windowTitle();
            for (const char* name : {"lblVersion", "lblDescription"})
                shown << dialog.findChild<QLabel*>(QLatin1String(name))->text();
            shown << dialog.findChild<QPushButton*>(u"cmdOK"_s)->text();
            return int(QDialog::Accepted);
        };
        rig.form->aboutMenu_Click();
        QCOMPARE(shown, QStringList({u"Über Framora"_s, u"Fassung 1.0.0.0"_s,
                                     u"Bilder aus Videos."_s, u"&Gut"_s}));
    }

    void helpAndUpdater_data() {
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<QString>("document");
        QTest::newRow("English") << u"English.ini"_s << u"/English.html"_s;
        QTest::newRow("four characters") << u"x.in"_s << u"/.html"_s;
        QTest::newRow("three characters") << u"x.i"_s << QString();
    }

    void helpAndUpdater() {
        QFETCH(QString, languageFile);
        QFETCH(QString, document);
        Rig rig;
        QVERIFY(rig.load());
        rig.settings.languageFile = languageFile;
        rig.form->howToUseMenu_Click();
        QCOMPARE(rig.platform.openedDocuments,
                 document.isEmpty() ? QStringList() : QStringList{rig.dir.path() + document});
        const QString missing = u"Critical Error: Can't find the help file. [Ok]"_s;
        QCOMPARE(rig.messages(), document.isEmpty() ? QStringList{missing} : QStringList());
        rig.platform.messages.clear();
        rig.platform.startProgramResult = false;
        rig.form->checkUpdates_Click();
        QCOMPARE(rig.platform.startedPrograms, QStringList{rig.dir.path() + u"/Update"_s});
        QCOMPARE(rig.messages(),
                 QStringList{u"Critical Error: Can't run the updates checker. [Ok]"_s});
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
