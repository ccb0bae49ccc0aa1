// The main window with a recording engine and a scripted platform: start-up, opening,
// transport, the playback timer and the capture modes.
#include "support/FakeEngine.h"
#include "support/FakePlatform.h"

#include "platform/FileNames.h"
#include "playback/MediaTypes.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {
const QStringList kControlSet = {QStringLiteral("snapshotButton"),
                                 QStringLiteral("continuousSnapshotsButton"),
                                 QStringLiteral("timedSnapshotsButton"),
                                 QStringLiteral("fullScreenButton"),
                                 QStringLiteral("Command1"),
                                 QStringLiteral("Command2"),
                                 QStringLiteral("rewindButton"),
                                 QStringLiteral("pauseButton"),
                                 QStringLiteral("stopButton"),
                                 QStringLiteral("ffButton")};

void writePack(const QString& appFolder, const QString& name, const QByteArray& body) {
    QDir(appFolder).mkpath(QStringLiteral("Lang"));
    QFile file(appFolder + QStringLiteral("/Lang/") + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Framora Language Pack]\r\n" + body);
}

// One main window over a fresh application folder.
struct Rig {
    QTemporaryDir dir;
    Settings settings;
    FakeEngine engine;
    FakePlatform platform{dir.path()};
    std::unique_ptr<MainForm> form;

    explicit Rig(bool withConfig = true) {
        if (withConfig) {
            Settings stored;
            stored.snapshotFolder = dir.path() + QStringLiteral("/shots");
            (void)SaveConfiguration(dir.path() + QStringLiteral("/Config.cfg"), stored);
        }
        form = std::make_unique<MainForm>(settings, engine, platform);
    }
    bool load() { return form->Form_Load(); }
    template <typename T = QWidget> T* control(const QString& name) const {
        return form->findChild<T*>(name);
    }
    QAction* action(const QString& name) const { return form->findChild<QAction*>(name); }
    bool enabled(const QString& name) const { return control(name)->isEnabled(); }
    QLabel* toolTips() const { return control<QLabel>(QStringLiteral("toolTips")); }
    QTimer* timer(const QString& name) const { return form->findChild<QTimer*>(name); }
    // A video as File > Open would load it, engine playing.
    void openPlaying(const QString& path = QStringLiteral("/videos/clip.avi")) {
        platform.openFileAnswer = path;
        form->openMenu_Click();
        engine.playing = true;
        engine.position = 0.25f;
        engine.time = 3;
        engine.length = 12;
        form->movieTimer_Timer();
        engine.calls.clear();
    }
};
} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startUpState();
    void recoveryMessageComesAfterCaptionsAndSplash();
    void secondInstanceIsRefused();
    void openThroughDialog();
    void reloadSequence();
    void drops_data();
    void drops();
    void speedSteps();
    void muteTwiceAndSliderWhileMuted();
    void seek_data();
    void seek();
    void timerTickBranches();
    void stopWithNothingLoaded();
    void captureModeStateTable();
    void timedCaptureWithPromptAndCancel();
    void stopDuringTimedCapture();
    void endOfVideoEndsCapture();
    void mediaGoneEndsCapture();
    void failedSnapshotEndsModesAndReportsOnce();
    void pauseFlipsTimedCaptureTimer();
    void unplayableFileIsReported();
    void closeQuestion_data();
    void closeQuestion();
    void hoverTexts();
    void hoverTextFromPartialPack();
    void reloadPromptOnlyWithVideoOnScreen();
    void helpAndUpdater_data();
    void helpAndUpdater();
};

void TestMainForm::startUpState() {
    Rig rig;
    rig.engine.volume = 37;
    QVERIFY(rig.load());
    for (const QString& name : kControlSet)
        QVERIFY2(!rig.enabled(name), qPrintable(name));
    QVERIFY(!rig.enabled(QStringLiteral("playButton")));
    QVERIFY(!rig.action(QStringLiteral("editMenu"))->isEnabled());
    QVERIFY(!rig.action(QStringLiteral("snapshotCommand"))->isEnabled());
    QVERIFY(rig.enabled(QStringLiteral("muteStatus")));
    QVERIFY(rig.enabled(QStringLiteral("volumeSlider")));
    QVERIFY(rig.enabled(QStringLiteral("browseCommand")));
    QVERIFY(rig.action(QStringLiteral("fileMenu"))->isEnabled());
    QCOMPARE(rig.control<QLabel>(QStringLiteral("timeElapsed"))->text(), QString());
    QCOMPARE(rig.control<QProgressBar>(QStringLiteral("movieProgress"))->value(), 0);
    QCOMPARE(rig.control<QSlider>(QStringLiteral("volumeSlider"))->value(), 37);
    QCOMPARE(rig.form->supportedExtensions.size(), 12);
    QCOMPARE(rig.control<QLineEdit>(QStringLiteral("quickSnapshotFolder"))->text(),
             rig.dir.path() + QStringLiteral("/shots"));
    QCOMPARE(rig.control<QGroupBox>(QStringLiteral("quickPath"))->title(),
             QStringLiteral("Snapshots Path"));
    QVERIFY(!rig.action(QStringLiteral("separator1"))->isVisible());
    QVERIFY(!rig.action(QStringLiteral("checkUpdates"))->isVisible());
    QCOMPARE(rig.form->engineOptions.size(), 7);
    QVERIFY(rig.platform.messages.isEmpty());
}

void TestMainForm::recoveryMessageComesAfterCaptionsAndSplash() {
    Rig rig(false);
    writePack(rig.dir.path(), QStringLiteral("English.ini"), "10=&Datei\r\n08=Broken.\r\n");
    QString menuAtMessage;
    rig.platform.onMessage = [&](const FakePlatform::Message&) {
        menuAtMessage = rig.form->findChild<QMenu*>(QStringLiteral("fileMenu"))->title();
    };
    QVERIFY(rig.load());
    QCOMPARE(rig.platform.messages.size(), 1);
    const FakePlatform::Message& message = rig.platform.messages.first();
    QCOMPARE(message.text, QStringLiteral("Broken.\rA new one was created with the defaults."));
    QCOMPARE(message.title, QStringLiteral("Error"));
    QCOMPARE(message.icon, MessageIcon::Critical);
    QCOMPARE(menuAtMessage, QStringLiteral("&Datei"));
    QVERIFY(QFile::exists(rig.dir.path() + QStringLiteral("/Config.cfg")));
    QCOMPARE(rig.settings, Settings{});
}

void TestMainForm::secondInstanceIsRefused() {
    Rig rig(false);
    rig.platform.otherInstance = true;
    QVERIFY(!rig.load());
    QCOMPARE(rig.platform.messages.size(), 1);
    QCOMPARE(rig.platform.messages.first().text,
             QStringLiteral("The application is already running."));
    QCOMPARE(rig.platform.messages.first().title, QStringLiteral("Warning"));
    QCOMPARE(rig.platform.messages.first().icon, MessageIcon::Exclamation);
    // Nothing of the load ran: the configuration was not even created.
    QVERIFY(!QFile::exists(rig.dir.path() + QStringLiteral("/Config.cfg")));
}

void TestMainForm::openThroughDialog() {
    Rig rig;
    QVERIFY(rig.load());
    rig.platform.openFileAnswer = QStringLiteral("/videos/My Clip.AVI");
    rig.form->openMenu_Click();
    QCOMPARE(rig.platform.lastOpenFilter,
             QStringLiteral("All Supported Formats|*.mpg;*.avi;*.mpe;*.3gp;*.3g2;*.asf;*.hdmov;"
                            "*.m4v;*.mkv;*.mp4;*.wmv;*.vob|MPG|*.mpg|AVI|*.avi|MPE|*.mpe|3GP|"
                            "*.3gp|3G2|*.3g2|ASF|*.asf|HDMOV|*.hdmov|M4V|*.m4v|MKV|*.mkv|MP4|"
                            "*.mp4|WMV|*.wmv|VOB|*.vob"));
    const QString folder = rig.dir.path() + QStringLiteral("/shots/My Clip.AVI Images");
    QCOMPARE(rig.engine.calls,
             QStringList({QStringLiteral("playlistClear"),
                          QStringLiteral("addTarget /videos/My Clip.AVI [overlay,snapshot-prefix="
                                         "IMG_,snapshot-path=%1,snapshot-format=PNG,no-snapshot-"
                                         "preview,snapshot-sequential,disable-screensaver] 10 0")
                              .arg(folder),
                          QStringLiteral("play")}));
    QCOMPARE(rig.form->currentVideo, QStringLiteral("/videos/My Clip.AVI"));
    QCOMPARE(rig.form->windowTitle(), QStringLiteral("Framora [ My Clip.AVI ]"));
    QVERIFY(rig.control(QStringLiteral("logoHide"))->isHidden());
    QVERIFY(rig.enabled(QStringLiteral("fullScreenButton")));

    // Cancel changes nothing.
    rig.engine.calls.clear();
    rig.platform.openFileAnswer.clear();
    rig.form->openMenu_Click();
    QVERIFY(rig.engine.calls.isEmpty());
}

void TestMainForm::reloadSequence() {
    Rig rig;
    QVERIFY(rig.load());
    rig.openPlaying();
    rig.form->speedStep = 1;
    rig.form->ReloadVideo();
    QCOMPARE(rig.engine.calls.first(), QStringLiteral("stop"));
    QCOMPARE(rig.engine.calls.at(1), QStringLiteral("playlistClear"));
    QVERIFY(rig.engine.calls.at(2).startsWith(QStringLiteral("addTarget /videos/clip.avi [")));
    QVERIFY(rig.engine.calls.at(2).endsWith(QStringLiteral("] 2 0")));
    QVERIFY(rig.engine.calls.at(2).contains(QStringLiteral("clip.avi Images")));
    QCOMPARE(rig.form->speedStep, 0);
}

void TestMainForm::drops_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("upper-case extension")
        << QStringList{QStringLiteral("/v/Clip.AVI")} << QStringLiteral("/v/Clip.AVI");
    QTest::newRow("double extension")
        << QStringList{QStringLiteral("/v/movie.mp4.txt")} << QString();
    QTest::newRow("hdmov") << QStringList{QStringLiteral("/v/film.hdmov")}
                           << QStringLiteral("/v/film.hdmov");
    QTest::newRow("first of two") << QStringList{QStringLiteral("/v/a.mkv"),
                                                 QStringLiteral("/v/b.mp4")}
                                  << QStringLiteral("/v/a.mkv");
    QTest::newRow("unsupported first")
        << QStringList{QStringLiteral("/v/a.txt"), QStringLiteral("/v/b.mp4")} << QString();
    QTest::newRow("nothing") << QStringList{} << QString();
}

void TestMainForm::drops() {
    QFETCH(QStringList, files);
    QFETCH(QString, loaded);
    Rig rig;
    QVERIFY(rig.load());
    rig.form->logoHide_OLEDragDrop(files);
    QCOMPARE(rig.form->currentVideo, loaded);
    QCOMPARE(rig.engine.callsStartingWith(QStringLiteral("addTarget")).size(),
             loaded.isEmpty() ? 0 : 1);
    if (!loaded.isEmpty()) {
        QVERIFY(
            rig.engine.lastOptions.at(2).endsWith(fileNameOf(loaded) + QStringLiteral(" Images")));
    }
    QCOMPARE(rig.form->windowTitle(), QStringLiteral("Framora"));
}

void TestMainForm::speedSteps() {
    Rig rig;
    QVERIFY(rig.load());
    rig.openPlaying();
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
             QStringList({QStringLiteral("playFaster"), QStringLiteral("playSlower"),
                          QStringLiteral("playSlower")}));
    // Nothing without a video.
    rig.engine.position = -1;
    rig.engine.calls.clear();
    rig.form->Command2_Click();
    QVERIFY(rig.engine.calls.isEmpty());
}

void TestMainForm::muteTwiceAndSliderWhileMuted() {
    Rig rig;
    QVERIFY(rig.load());
    QCOMPARE(rig.form->muteCaption(), kSoundOnCaption);
    rig.form->muteStatus_Click();
    QCOMPARE(rig.form->muteCaption(), kMutedCaption);
    rig.form->muteStatus_Click();
    QCOMPARE(rig.form->muteCaption(), kSoundOnCaption);
    QCOMPARE(rig.engine.calls.size(), 2);

    rig.form->muteStatus_Click();
    rig.engine.calls.clear();
    rig.control<QSlider>(QStringLiteral("volumeSlider"))->setValue(80);
    rig.form->volumeSlider_MouseDown(Qt::RightButton);
    QVERIFY(rig.engine.calls.isEmpty());
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Volume"));
    rig.form->volumeSlider_MouseDown(Qt::LeftButton);
    QCOMPARE(rig.engine.calls,
             QStringList({QStringLiteral("setVolume 80"), QStringLiteral("toggleMute")}));
    QCOMPARE(rig.form->muteCaption(), kSoundOnCaption);
}

void TestMainForm::seek_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<double>("fractionOfWidth");
    QTest::addColumn<bool>("seeks");
    QTest::newRow("left edge") << int(Qt::LeftButton) << 0.0 << true;
    QTest::newRow("middle") << int(Qt::LeftButton) << 0.5 << true;
    QTest::newRow("right button") << int(Qt::RightButton) << 0.5 << false;
}

void TestMainForm::seek() {
    QFETCH(int, button);
    QFETCH(double, fractionOfWidth);
    QFETCH(bool, seeks);
    Rig rig;
    QVERIFY(rig.load());
    rig.form->show();
    rig.openPlaying();
    auto* bar = rig.control<QProgressBar>(QStringLiteral("movieProgress"));
    const int x = static_cast<int>(bar->width() * fractionOfWidth);
    QTest::mouseClick(bar, Qt::MouseButton(button), {}, QPoint(x, 5));
    const QStringList calls = rig.engine.callsStartingWith(QStringLiteral("setPosition "));
    QCOMPARE(calls.size(), seeks ? 1 : 0);
    if (seeks) {
        const double position = calls.first().mid(12).toDouble();
        QVERIFY(qAbs(position - double(x) / bar->width()) < 1e-4);
    }
}

void TestMainForm::timerTickBranches() {
    Rig rig;
    QVERIFY(rig.load());
    rig.openPlaying();
    auto* cover = rig.control(QStringLiteral("logoHide"));
    rig.form->movieTimer_Timer();
    QVERIFY(cover->isHidden());
    QCOMPARE(rig.control<QProgressBar>(QStringLiteral("movieProgress"))->value(), 25);
    QCOMPARE(rig.control<QLabel>(QStringLiteral("timeElapsed"))->text(),
             QStringLiteral("00:00:03 / 00:00:12"));

    // Ended by itself: the set stays on until the engine reports no media.
    rig.engine.playing = false;
    rig.form->movieTimer_Timer();
    QVERIFY(rig.enabled(QStringLiteral("fullScreenButton")));
    QVERIFY(cover->isHidden());
    rig.engine.position = -1;
    rig.form->movieTimer_Timer();
    QVERIFY(!cover->isHidden());
    for (const QString& name : kControlSet)
        QVERIFY2(!rig.enabled(name), qPrintable(name));
    QVERIFY(rig.enabled(QStringLiteral("playButton")));
    QCOMPARE(rig.control<QLabel>(QStringLiteral("timeElapsed"))->text(), QString());

    // Playing again switches the set back on at the next tick.
    rig.engine.playing = true;
    rig.engine.position = 0.5f;
    rig.form->movieTimer_Timer();
    QVERIFY(cover->isHidden());
    QVERIFY(rig.enabled(QStringLiteral("fullScreenButton")));
}

void TestMainForm::stopWithNothingLoaded() {
    Rig rig;
    QVERIFY(rig.load());
    rig.form->stopButton_Click();
    QVERIFY(rig.engine.callsStartingWith(QStringLiteral("stop")).isEmpty());
    QVERIFY(!rig.enabled(QStringLiteral("stopButton")));
    QVERIFY(rig.enabled(QStringLiteral("playButton")));
    // Play with an empty playlist does nothing.
    rig.form->playButton_Click();
    QVERIFY(rig.engine.calls.isEmpty());
}

void TestMainForm::captureModeStateTable() {
    Rig rig;
    rig.settings.skipTimedPrompt = 1;
    QVERIFY(rig.load());
    rig.settings.skipTimedPrompt = 1;
    rig.openPlaying();
    const auto states = [&rig] {
        return QList<bool>{rig.enabled(QStringLiteral("snapshotButton")),
                           rig.enabled(QStringLiteral("continuousSnapshotsButton")),
                           rig.enabled(QStringLiteral("timedSnapshotsButton")),
                           rig.timer(QStringLiteral("snapshotsTimer"))->isActive()};
    };
    QCOMPARE(states(), QList<bool>({true, true, true, false}));
    rig.control<QPushButton>(QStringLiteral("continuousSnapshotsButton"))->click();
    QVERIFY(rig.form->continuousCapture);
    QCOMPARE(states(), QList<bool>({false, true, false, false}));
    // Every playing tick takes one snapshot.
    rig.engine.calls.clear();
    rig.form->movieTimer_Timer();
    QCOMPARE(rig.engine.callsStartingWith(QStringLiteral("setVariable")),
             QStringList({QStringLiteral("setVariable key-snapshot 83"),
                          QStringLiteral("setVariable key-pressed 83")}));
    QVERIFY(QDir(rig.dir.path() + QStringLiteral("/shots/clip.avi Images")).exists());
    rig.control<QPushButton>(QStringLiteral("continuousSnapshotsButton"))->click();
    QCOMPARE(states(), QList<bool>({true, true, true, false}));

    rig.control<QPushButton>(QStringLiteral("timedSnapshotsButton"))->click();
    QVERIFY(rig.form->timedCapture);
    QCOMPARE(states(), QList<bool>({false, false, true, true}));
    QCOMPARE(rig.timer(QStringLiteral("snapshotsTimer"))->interval(), 5000);

    // Through the menu both modes can run at once.
    rig.action(QStringLiteral("continuousSnapshots"))->trigger();
    QVERIFY(rig.form->continuousCapture && rig.form->timedCapture);
    rig.action(QStringLiteral("continuousSnapshots"))->trigger();
    QVERIFY(!rig.form->continuousCapture);
    rig.control<QPushButton>(QStringLiteral("timedSnapshotsButton"))->click();
    QCOMPARE(states(), QList<bool>({true, true, true, false}));
}

void TestMainForm::timedCaptureWithPromptAndCancel() {
    Rig rig;
    QVERIFY(rig.load());
    rig.openPlaying();
    rig.platform.dialogScript = [](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("milliseconds"))
            ->setText(QStringLiteral("1500.6"));
        dialog.findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
        return dialog.result();
    };
    rig.form->timedSnapshotsButton_Click();
    QVERIFY(rig.form->timedCapture);
    QCOMPARE(rig.settings.timedInterval, 1501);
    QCOMPARE(rig.timer(QStringLiteral("snapshotsTimer"))->interval(), 1501);
    // The first snapshot does not wait for the interval.
    QCOMPARE(rig.engine.callsStartingWith(QStringLiteral("setVariable")).size(), 2);
    rig.form->timedSnapshotsButton_Click();

    rig.engine.calls.clear();
    rig.platform.dialogScript = [](QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
        return dialog.result();
    };
    rig.form->timedSnapshotsButton_Click();
    QVERIFY(!rig.form->timedCapture);
    QVERIFY(rig.engine.calls.isEmpty());
    QCOMPARE(rig.settings.timedInterval, 1501);
}

void TestMainForm::stopDuringTimedCapture() {
    Rig rig;
    QVERIFY(rig.load());
    rig.settings.skipTimedPrompt = 1;
    rig.openPlaying();
    rig.form->timedSnapshotsButton_Click();
    rig.form->stopButton_Click();
    QVERIFY(!rig.form->timedCapture);
    QVERIFY(!rig.timer(QStringLiteral("snapshotsTimer"))->isActive());
    QVERIFY(!rig.enabled(QStringLiteral("snapshotButton")));
    QVERIFY(!rig.enabled(QStringLiteral("timedSnapshotsButton")));
    QVERIFY(!rig.enabled(QStringLiteral("continuousSnapshotsButton")));
    QVERIFY(rig.engine.calls.contains(QStringLiteral("stop")));
}

void TestMainForm::endOfVideoEndsCapture() {
    Rig rig;
    QVERIFY(rig.load());
    rig.settings.skipTimedPrompt = 1;
    rig.openPlaying();
    rig.engine.length = 0; // not known yet
    rig.form->continuousSnapshotsButton_Click();
    rig.form->timedSnapshotsButton_Click();
    rig.form->movieTimer_Timer();
    QVERIFY(!rig.form->continuousCapture);
    QVERIFY(!rig.form->timedCapture);
    QVERIFY(!rig.timer(QStringLiteral("snapshotsTimer"))->isActive());
}

void TestMainForm::mediaGoneEndsCapture() {
    Rig rig;
    QVERIFY(rig.load());
    rig.settings.skipTimedPrompt = 1;
    rig.openPlaying();
    rig.form->timedSnapshotsButton_Click();
    rig.engine.playing = false;
    rig.engine.position = -1;
    rig.form->movieTimer_Timer();
    QVERIFY(!rig.form->timedCapture);
    QVERIFY(!rig.timer(QStringLiteral("snapshotsTimer"))->isActive());
    rig.engine.calls.clear();
    rig.form->snapshotsTimer_Timer();
    QVERIFY(rig.platform.messages.isEmpty());
}

void TestMainForm::failedSnapshotEndsModesAndReportsOnce() {
    Rig rig;
    QVERIFY(rig.load());
    rig.openPlaying();
    rig.form->continuousSnapshotsButton_Click();
    Q_EMIT rig.engine.snapshotFailed(QStringLiteral("Cannot write /x/IMG_00001.png: Disk full"));
    QVERIFY(!rig.form->continuousCapture);
    QCOMPARE(rig.platform.messages.size(), 1);
    QVERIFY(rig.platform.messages.first().text.startsWith(QStringLiteral("Error")));
    QVERIFY(rig.platform.messages.first().text.contains(QStringLiteral("Disk full")));
    QCOMPARE(rig.platform.messages.first().icon, MessageIcon::None);
    QCOMPARE(rig.platform.messages.first().buttons, MessageButtons::Ok);

    // A refusal at once (no video in the engine) is reported the same way.
    rig.engine.snapshotAccepted = false;
    rig.form->snapshotCommand_Click();
    QCOMPARE(rig.platform.messages.size(), 2);
    QCOMPARE(rig.platform.messages.last().text, QStringLiteral("Error"));
}

void TestMainForm::pauseFlipsTimedCaptureTimer() {
    Rig rig;
    QVERIFY(rig.load());
    rig.settings.skipTimedPrompt = 1;
    rig.openPlaying();
    rig.form->timedSnapshotsButton_Click();
    QTimer* timer = rig.timer(QStringLiteral("snapshotsTimer"));
    rig.form->pauseButton_Click();
    QVERIFY(!timer->isActive());
    QVERIFY(!rig.enabled(QStringLiteral("pauseButton")));
    QVERIFY(!rig.enabled(QStringLiteral("rewindButton")));
    QVERIFY(!rig.enabled(QStringLiteral("ffButton")));
    // Play does not touch the timer; the next Pause switches it back on.
    rig.engine.playing = false;
    rig.form->playButton_Click();
    QVERIFY(!timer->isActive());
    rig.form->pauseButton_Click();
    QVERIFY(timer->isActive());
}

void TestMainForm::unplayableFileIsReported() {
    Rig rig;
    QVERIFY(rig.load());
    Q_EMIT rig.engine.playbackFailed(QStringLiteral("/videos/notes.avi"));
    QCOMPARE(rig.platform.messages.size(), 1);
    QVERIFY(rig.platform.messages.first().text.contains(QStringLiteral("notes.avi")));
    QCOMPARE(rig.platform.messages.first().title, QStringLiteral("Error"));
    QCOMPARE(rig.platform.messages.first().icon, MessageIcon::Critical);
}

void TestMainForm::closeQuestion_data() {
    QTest::addColumn<bool>("capturing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("idle") << false << int(MessageAnswer::No) << true;
    QTest::newRow("capturing, no") << true << int(MessageAnswer::No) << false;
    QTest::newRow("capturing, yes") << true << int(MessageAnswer::Yes) << true;
}

void TestMainForm::closeQuestion() {
    QFETCH(bool, capturing);
    QFETCH(int, answer);
    QFETCH(bool, closes);
    Rig rig;
    QVERIFY(rig.load());
    rig.form->show();
    rig.openPlaying();
    if (capturing)
        rig.form->continuousSnapshotsButton_Click();
    rig.platform.answers = {MessageAnswer(answer)};
    QCOMPARE(rig.form->close(), closes);
    QCOMPARE(rig.platform.messages.size(), capturing ? 1 : 0);
    if (capturing) {
        const FakePlatform::Message& message = rig.platform.messages.first();
        QCOMPARE(message.text,
                 QStringLiteral("Capturing process is running now are you sure to exit?"));
        QCOMPARE(message.title, QString());
        QCOMPARE(message.buttons, MessageButtons::YesNo);
        QCOMPARE(message.icon, MessageIcon::Exclamation);
        QCOMPARE(rig.form->continuousCapture, true);
    }
}

void TestMainForm::hoverTexts() {
    Rig rig;
    QVERIFY(rig.load());
    rig.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.form.get()));
    auto* stop = rig.control(QStringLiteral("stopButton"));
    // Disabled buttons give no hover text.
    QTest::mouseMove(stop, QPoint(5, 5));
    QCOMPARE(rig.toolTips()->text(), QString());

    rig.openPlaying();
    QTimer* timer = rig.timer(QStringLiteral("toolTipTimer"));
    QTest::mouseMove(rig.control(QStringLiteral("pauseButton")), QPoint(5, 5));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Pause"));
    QVERIFY(timer->isActive());
    QTest::mouseMove(stop, QPoint(5, 5));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Stop"));
    // Moving within one control neither restarts the timer nor changes the text.
    timer->stop();
    QTest::mouseMove(stop, QPoint(9, 9));
    QVERIFY(!timer->isActive());
    rig.form->toolTipTimer_Timer();
    QCOMPARE(rig.toolTips()->text(), QString());
    QTest::mouseMove(stop, QPoint(6, 6));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Stop"));

    auto* mute = rig.control(QStringLiteral("muteStatus"));
    QTest::mouseMove(mute, QPoint(5, 5));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Mute"));
    rig.form->muteStatus_Click();
    QTest::mouseMove(mute, QPoint(6, 5));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Sound"));
}

void TestMainForm::hoverTextFromPartialPack() {
    Rig rig;
    writePack(rig.dir.path(), QStringLiteral("English.ini"), "029=Pausa\r\n");
    QVERIFY(rig.load());
    rig.openPlaying();
    rig.form->ShowToolTip(QStringLiteral("029"), QStringLiteral("Pause"));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Pausa"));
    rig.form->ShowToolTip(QStringLiteral("030"), QStringLiteral("Stop"));
    QCOMPARE(rig.toolTips()->text(), QStringLiteral("Stop"));
}

void TestMainForm::reloadPromptOnlyWithVideoOnScreen() {
    Rig rig;
    QVERIFY(rig.load());
    rig.platform.folderAnswer = rig.dir.path() + QStringLiteral("/other");
    rig.form->browseCommand_Click();
    QVERIFY(rig.platform.messages.isEmpty());
    QCOMPARE(rig.settings.snapshotFolder, rig.dir.path() + QStringLiteral("/other"));
    Settings reread;
    QVERIFY(LoadConfiguration(rig.dir.path() + QStringLiteral("/Config.cfg"), reread));
    QCOMPARE(reread.snapshotFolder, rig.dir.path() + QStringLiteral("/other"));

    rig.openPlaying();
    rig.platform.answers = {MessageAnswer::Yes};
    rig.form->browseCommand_Click();
    QCOMPARE(rig.platform.messages.size(), 1);
    QCOMPARE(rig.platform.messages.first().title, QStringLiteral("Warning"));
    QCOMPARE(rig.platform.messages.first().icon, MessageIcon::Question);
    QCOMPARE(rig.engine.callsStartingWith(QStringLiteral("addTarget")).size(), 1);
    QVERIFY(rig.engine.lastOptions.at(2).contains(QStringLiteral("/other")));

    // Cancelled browse: nothing happens at all.
    rig.platform.folderAnswer.clear();
    rig.engine.calls.clear();
    rig.form->browseCommand_Click();
    QCOMPARE(rig.platform.messages.size(), 1);
    QVERIFY(rig.engine.calls.isEmpty());
}

void TestMainForm::helpAndUpdater_data() {
    QTest::addColumn<QString>("languageFile");
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("message");
    QTest::newRow("English") << QStringLiteral("English.ini") << QStringLiteral("/English.html")
                             << false;
    QTest::newRow("four characters") << QStringLiteral("x.in") << QStringLiteral("/.html") << false;
    QTest::newRow("three characters") << QStringLiteral("x.i") << QString() << true;
}

void TestMainForm::helpAndUpdater() {
    QFETCH(QString, languageFile);
    QFETCH(QString, document);
    QFETCH(bool, message);
    Rig rig;
    QVERIFY(rig.load());
    rig.settings.languageFile = languageFile;
    rig.form->howToUseMenu_Click();
    QCOMPARE(rig.platform.openedDocuments,
             document.isEmpty() ? QStringList() : QStringList{rig.dir.path() + document});
    QCOMPARE(rig.platform.messages.size(), message ? 1 : 0);
    if (message) {
        QCOMPARE(rig.platform.messages.first().text, QStringLiteral("Can't find the help file."));
        QCOMPARE(rig.platform.messages.first().title, QStringLiteral("Error"));
    }
    rig.platform.messages.clear();
    rig.platform.startProgramResult = false;
    rig.form->checkUpdates_Click();
    QCOMPARE(rig.platform.startedPrograms, QStringList{rig.dir.path() + QStringLiteral("/Update")});
    QCOMPARE(rig.platform.messages.first().text, QStringLiteral("Can't run the updates checker."));
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
