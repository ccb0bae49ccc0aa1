// The main window with a recording engine, the real capture service writing real files
// and a scripted platform: start-up, opening, transport, the playback timer, the capture
// modes, dialogs, hover texts; and the shell's rules (layout, control states, skin).
#include "capture/CaptureService.h"
#include "playback/VideoSurface.h"
#include "playback/media/MediaService.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "settings/WindowPlacement.h"
#include "shell/ControlStates.h"
#include "shell/GlyphFaces.h"
#include "shell/LayoutPass.h"
#include "shell/MainForm.h"
#include "shell/Skin.h"
#include "shell/SplashForm.h"
#include "support/FakeEngine.h"
#include "support/FakePlatform.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QWindow>
#include <QtTest>

#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {
// One main window over a fresh application folder whose Config.cfg skips the interval
// prompt and keeps snapshots under <folder>/shots.
struct Rig {
    QTemporaryDir dir;
    Settings settings;
    FakeEngine engine;
    MediaService media;
    CaptureService capture{engine, media};
    FakePlatform platform{dir.path()};
    std::unique_ptr<MainForm> form;

    explicit Rig(bool withConfig = true, SettingsLocation location = {}) {
        if (withConfig) {
            Settings stored;
            stored.snapshotFolder = dir.path() + u"/shots"_s;
            stored.skipTimedPrompt = 1;
            (void)SaveConfiguration(dir.path() + u"/Config.cfg"_s, stored);
        }
        if (location.folder.isEmpty())
            location.folder = dir.path();
        form = std::make_unique<MainForm>(settings, engine, capture, media, platform, location);
    }
    // A new window, as at the next start.
    void reopen() {
        form = std::make_unique<MainForm>(settings, engine, capture, media, platform,
                                          SettingsLocation{dir.path()});
    }
    void writePack(const QString& name, const QByteArray& body) const {
        QDir(dir.path()).mkpath(u"Lang"_s);
        QFile file(dir.path() + u"/Lang/"_s + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Framora Language Pack]\r\n" + body);
    }
    // Loaded, then a video opened as File > Open does and playing at 3 s of 12.
    void loadPlaying() {
        form->Form_Load();
        play();
    }
    // A file of that name in the rig's video folder; a copy of the sample video when real,
    // otherwise empty (its name says what it is).
    QString video(const QString& name, bool real = false) const {
        QDir(dir.path()).mkpath(u"videos"_s);
        const QString path = dir.path() + u"/videos/"_s + name;
        if (real)
            [&] { QVERIFY(QFile::copy(sampleVideo(), path)); }();
        else
            QFile(path).open(QIODevice::WriteOnly);
        return path;
    }
    static QString sampleVideo() {
        return qEnvironmentVariable("FRAMORA_SOURCE_DIR", QStringLiteral(FRAMORA_TEST_SOURCE_DIR)) +
               u"/samples/sample.mp4"_s;
    }
    void play(const QString& name = u"clip.avi"_s) {
        platform.openFileAnswer = video(name);
        trigger(u"openMenu"_s);
        engine.playing = true;
        engine.position = 0.25f;
        engine.time = 3;
        engine.length = 12;
        engine.report();
        engine.show(QImage(8, 6, QImage::Format_RGB32));
        player().tick();
        engine.calls.clear();
    }
    PlayerController& player() const { return form->player(); }
    template <typename T = QWidget> T* control(const QString& name) const {
        return form->findChild<T*>(name);
    }
    // As the user would: a menu item or its shortcut, a button.
    void trigger(const QString& action) const { control<QAction>(action)->trigger(); }
    void click(const QString& button) const { control<QPushButton>(button)->click(); }
    void press(const QString& name, Qt::MouseButton button, double fraction) const {
        QWidget* widget = control(name);
        QTest::mousePress(
            widget, button, {},
            QPoint(int(std::lround(fraction * widget->width())), widget->height() / 2));
    }
    bool enabled(const QString& name) const { return control(name)->isEnabled(); }
    QString label(const QString& name) const { return control<QLabel>(name)->text(); }
    QTimer* timer(const QString& name) const { return control<QTimer>(name); }
    // Every message box shown, as "<icon> <title>: <text> [<buttons>]".
    QStringList messages() const {
        static const char* const icons[] = {"None", "Critical", "Exclamation", "Question"};
        QStringList shown;
        for (const FakePlatform::Message& m : platform.messages)
            shown << u"%1 %2: %3 [%4]"_s.arg(QLatin1String(icons[int(m.icon)]), m.title, m.text,
                                             m.buttons == MessageButtons::Ok ? "Ok" : "YesNo");
        return shown;
    }
    QStringList snapshots() const {
        return QDir(dir.path() + u"/shots/clip.avi Images"_s).entryList(QDir::Files);
    }
};

using RigStep = std::function<void(Rig&)>;
// What EnablePlaybackControls switches.
const QStringList kPlaybackSet =
    u"snapshotButton continuousSnapshotsButton timedSnapshotsButton fullScreenButton Command1 "
    "Command2 rewindButton pauseButton stopButton ffButton"_s.split(u' ');
} // namespace
Q_DECLARE_METATYPE(RigStep)

class TstShell : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Config.cfg fine, missing, with a line longer than any path, or not replaceable (a
    // folder of that name): the message comes after the captions and the splash, says
    // what was wrong, and claims no file that is not there.
    void startUp_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("message");
        QTest::newRow("fine") << "fine" << QString();
        QTest::newRow("missing") << "missing"
                                 << u"Critical Error: Broken.\rit is missing\rA new one was "
                                    "created with the defaults. [Ok]"_s;
        QTest::newRow("overlong line")
            << "overlong"
            << u"Critical Error: Broken.\rline 2 is longer than any setting can "
               "be\rA new one was created with the defaults. [Ok]"_s;
        QTest::newRow("cannot be replaced")
            << "folder"
            << u"Critical Error: Broken.\rit is not a file\rThe defaults are used, but they "
               "could not be saved to "_s;
    }
    void startUp() {
        QFETCH(QString, config);
        QFETCH(QString, message);
        Rig rig(config == "fine");
        rig.writePack(u"English.ini"_s, "10=&Datei\r\n08=Broken.\r\n");
        if (config == "folder")
            QVERIFY(QDir(rig.dir.path()).mkdir(u"Config.cfg"_s));
        if (config == "overlong") {
            QFile file(rig.dir.filePath(u"Config.cfg"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("0\r\n" + QByteArray(900 * 1024, 'a') +
                       "\r\nIMG_\r\n0\r\n5000\r\n0\r\n1\r\n"
                       "English.ini\r\n");
        }
        rig.engine.volume = 37;
        SplashForm splash;
        splash.showNow();
        QString menuAtMessage;
        bool splashAtMessage = true;
        rig.platform.onMessage = [&](const FakePlatform::Message&) {
            menuAtMessage = rig.control<QMenu>(u"fileMenu"_s)->title();
            splashAtMessage = splash.isVisible();
        };
        rig.form->Form_Load(&splash);
        QVERIFY(!splash.isVisible());
        QCOMPARE(rig.messages().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QVERIFY2(rig.messages().first().startsWith(message),
                     qPrintable(rig.messages().first()));
            QCOMPARE(menuAtMessage, u"&Datei"_s);
            QVERIFY(!splashAtMessage);
        }
        for (const QString& name : kPlaybackSet + QStringList{u"playButton"_s})
            QVERIFY2(!rig.enabled(name), qPrintable(name));
        QVERIFY(rig.enabled(u"muteStatus"_s) && rig.enabled(u"browseCommand"_s));
        QVERIFY(!rig.control<QAction>(u"snapshotCommand"_s)->isEnabled());
        QCOMPARE(rig.control<QSlider>(u"volumeSlider"_s)->value(), 37);
    }

    // A new user's first start in the user's own folder writes the defaults without a word;
    // where that folder cannot be made, the message names it and nothing is written.
    void firstStartOfAUser() {
        QTemporaryDir home;
        const QString folder = home.filePath(u"config/framora"_s);
        Rig rig(false, {folder, true});
        rig.form->Form_Load();
        QCOMPARE(rig.messages(), QStringList());
        QVERIFY(QFileInfo(folder + u"/Config.cfg"_s).size() > 0);
        QVERIFY(!QFile::exists(rig.dir.filePath(u"Config.cfg"_s)));
        QFile blocker(home.filePath(u"blocked"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        Rig blocked(false, {blocker.fileName() + u"/framora"_s, true});
        blocked.form->Form_Load();
        QCOMPARE(blocked.messages().size(), 1);
        QVERIFY(blocked.messages().first().contains(blocker.fileName() + u"/framora/Config.cfg"_s));
        QVERIFY(blocked.settings == Settings{});
    }

    // File > Open: typed filter, stop first, the capture service pointed at the video's own
    // folder, title; opening again plays at normal speed.
    void openAndReload() {
        Rig rig;
        rig.form->Form_Load();
        const QString clip = rig.video(u"My Clip.AVI"_s);
        rig.platform.openFileAnswer = clip;
        rig.trigger(u"openMenu"_s);
        const QList<FileTypeFilter>& filters = rig.platform.lastOpenFilters;
        QCOMPARE(filters.size(), 25);
        QCOMPARE(filters.first().description, u"All Supported Formats"_s);
        QCOMPARE(filters.first().patterns.size(), 23);
        QCOMPARE(filters.at(13), (FileTypeFilter{u"MOV"_s, {u"*.mov"_s}}));
        QCOMPARE(filters.last(), (FileTypeFilter{u"All Files"_s, {u"*"_s}}));
        QCOMPARE(rig.engine.calls,
                 QStringList({u"playlistClear"_s, u"load "_s + clip + u" play"_s, u"play"_s}));
        QCOMPARE(rig.capture.target().folder, rig.dir.path() + u"/shots/My Clip.AVI Images"_s);
        QCOMPARE(rig.form->windowTitle(), u"Framora [ My Clip.AVI ]"_s);
        rig.engine.calls.clear();
        rig.platform.openFileAnswer.clear();
        rig.trigger(u"openMenu"_s);
        // A pipe named like a video would be read for ever: refused at once, with a word.
        const QString pipe = rig.dir.path() + u"/pipe.mp4"_s;
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        rig.platform.openFileAnswer = pipe;
        rig.trigger(u"openMenu"_s);
        QVERIFY(rig.engine.calls.isEmpty());
        QVERIFY(rig.messages().last().contains(u"cannot be opened: not a regular file"_s));
        rig.engine.position = 0.25f;
        rig.click(u"Command2"_s);
        QCOMPARE(rig.player().speedStep(), 1);
        rig.platform.openFileAnswer = clip;
        rig.trigger(u"openMenu"_s);
        QCOMPARE(rig.player().speedStep(), 0);
        QCOMPARE(rig.engine.rate, 1.0f);
    }

    // Dropped as a file manager or a browser drops, anywhere on the window, playing or not:
    // only the first entry counts, a file is judged by its content when its name says
    // nothing, a refusal says why, and a drop that would end a capture run asks first.
    void drops_data() {
        QTest::addColumn<QStringList>("files"); // "*" marks a copy of a real video
        QTest::addColumn<bool>("capturing");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("message");
        const MessageAnswer none = MessageAnswer::Ok;
        QTest::newRow("first of two, any letter case")
            << QStringList{u"a.HDmov"_s, u"b.mp4"_s} << false << none << u"a.HDmov"_s << QString();
        QTest::newRow("a video by its content")
            << QStringList{u"*holiday.bin"_s} << false << none << u"holiday.bin"_s << QString();
        QTest::newRow("web address first")
            << QStringList{u"https://example.com/a.mp4"_s, u"b.mp4"_s} << false << none
            << u"clip.avi"_s << u"web addresses cannot be opened"_s;
        QTest::newRow("no video") << QStringList{u"notes.txt"_s} << false << none << u"clip.avi"_s
                                  << u"neither its name nor its content"_s;
        QTest::newRow("while capturing, yes")
            << QStringList{u"b.webm"_s} << true << MessageAnswer::Yes << u"b.webm"_s
            << u"Stop capturing and open the dropped file?"_s;
        QTest::newRow("while capturing, no")
            << QStringList{u"b.webm"_s} << true << MessageAnswer::No << u"clip.avi"_s
            << u"Stop capturing and open the dropped file?"_s;
    }
    void drops() {
        QFETCH(QStringList, files);
        QFETCH(bool, capturing);
        Rig rig;
        rig.loadPlaying();
        if (capturing)
            rig.click(u"continuousSnapshotsButton"_s);
        QFETCH(MessageAnswer, answer);
        rig.platform.answers = {answer};
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& file : files) {
            if (file.startsWith(u"https:"_s))
                urls << QUrl(file);
            else if (file.startsWith(u'*'))
                urls << QUrl::fromLocalFile(rig.video(file.mid(1), true));
            else
                urls << QUrl::fromLocalFile(
                    file.endsWith(u".txt"_s) ? rig.dir.path() + u"/"_s + file : rig.video(file));
        }
        if (files.contains(u"notes.txt"_s)) {
            QFile text(rig.dir.path() + u"/notes.txt"_s);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("not a video\n");
        }
        data.setUrls(urls);
        // On the video, where the drop lands most often; the window takes it.
        QWidget* target = rig.control(u"stage"_s);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &drop);
        QFETCH(QString, title);
        QCOMPARE(rig.form->windowTitle(), u"Framora [ %1 ]"_s.arg(title));
        QVERIFY(rig.player().currentVideo().endsWith(title));
        QFETCH(QString, message);
        QCOMPARE(rig.messages().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(rig.messages().first().contains(message), qPrintable(rig.messages().first()));
        QCOMPARE(rig.player().modes().any(), capturing && answer == MessageAnswer::No);
    }

    // The title shows a file's name as it is, "[*]" included (Qt's mark for unsaved changes).
    void titleKeepsTheName() {
        Rig rig;
        rig.form->show();
        rig.loadPlaying();
        rig.play(u"a[*]b.mp4"_s);
        QCOMPARE(rig.form->windowHandle()->title(), u"Framora [ a[*]b.mp4 ]"_s);
    }

    // The track menus list the engine's tracks when they open, and a choice reaches it.
    void trackMenus() {
        Rig rig;
        rig.loadPlaying();
        rig.engine.subtitles = {{2, u"English"_s}, {3, QString()}};
        rig.engine.audio = {{1, u"Stereo"_s}, {4, u"Commentary"_s}};
        rig.engine.audioId = 1;
        Q_EMIT rig.control<QMenu>(u"subtitlesMenu"_s)->aboutToShow();
        Q_EMIT rig.control<QMenu>(u"audioMenu"_s)->aboutToShow();
        QVERIFY(rig.control<QAction>(u"subtitlesOff"_s)->isChecked());
        QCOMPARE(rig.control<QAction>(u"subtitleTrack3"_s)->text(), u"Track 3"_s);
        QVERIFY(rig.control<QAction>(u"audioTrack1"_s)->isChecked());
        rig.trigger(u"subtitleTrack3"_s);
        rig.trigger(u"audioTrack4"_s);
        rig.trigger(u"subtitlesOff"_s);
        QCOMPARE(rig.engine.calls, QStringList({u"setSubtitleTrack 3"_s, u"setAudioTrack 4"_s,
                                                u"setSubtitleTrack -1"_s}));
        // Filled again, nothing is listed twice.
        Q_EMIT rig.control<QMenu>(u"subtitlesMenu"_s)->aboutToShow();
        QCOMPARE(rig.control<QMenu>(u"subtitlesMenu"_s)->actions().size(), 5);
    }

    // Subtitles from a file: chosen in the menu or dropped on the playing video; what is no
    // subtitle file is refused with its name, and playback goes on.
    void subtitleFiles_data() {
        QTest::addColumn<QByteArray>("content"); // "huge": a file of 30 MB
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("refusal");
        const QByteArray srt = "1\n00:00:01,000 --> 00:00:02,000\nHello\n";
        QTest::newRow("SubRip") << srt << false << QString();
        QTest::newRow("SubRip dropped") << srt << true << QString();
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff\xfe", 5) << false
                                << u"not subtitles"_s;
        QTest::newRow("huge") << QByteArray("huge") << false << u"far too large"_s;
    }
    void subtitleFiles() {
        QFETCH(QByteArray, content);
        QFETCH(bool, dropped);
        Rig rig;
        rig.loadPlaying();
        const QString path = rig.dir.filePath(u"film.srt"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (content == "huge")
            QVERIFY(file.resize(30 * 1024 * 1024));
        else
            file.write(content);
        file.close();
        if (dropped) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(rig.form.get(), &enter);
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(rig.form.get(), &drop);
        } else {
            rig.platform.openFileAnswer = path;
            rig.trigger(u"addSubtitleFileMenu"_s);
        }
        QFETCH(QString, refusal);
        QCOMPARE(rig.engine.calls,
                 refusal.isEmpty() ? QStringList{u"addSubtitleFile "_s + path} : QStringList());
        QCOMPARE(rig.messages().size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QVERIFY(rig.messages().first().contains(refusal) &&
                    rig.messages().first().contains(path));
        QVERIFY(rig.player().currentVideo().endsWith(u"clip.avi"_s));
    }

    // Speed steps with beeps at either end; mute twice; the slider unmutes.
    void speedAndSound() {
        Rig rig;
        rig.loadPlaying();
        for (const char* button : {"Command2", "Command2", "Command1", "Command1", "Command1"})
            rig.click(QString::fromLatin1(button));
        QCOMPARE(rig.platform.beeps, 2);
        QCOMPARE(rig.engine.calls,
                 QStringList({u"setRate 1.5"_s, u"setRate 1"_s, u"setRate 0.75"_s}));
        rig.engine.calls.clear();
        rig.click(u"muteStatus"_s);
        const auto muteButton = [&rig] {
            return glyphCaption(*rig.control<QPushButton>(u"muteStatus"_s));
        };
        QCOMPARE(muteButton(), kMutedCaption);
        rig.press(u"volumeSlider"_s, Qt::LeftButton, 0.8);
        QCOMPARE(rig.engine.calls,
                 QStringList({u"setMuted 1"_s, u"setVolume 80"_s, u"setMuted 0"_s}));
        QCOMPARE(muteButton(), kSoundOnCaption);
        QCOMPARE(rig.label(u"toolTips"_s), u"Volume"_s);
        // A press on the progress bar seeks to its fraction of the width, the left button only.
        rig.engine.calls.clear();
        rig.press(u"movieProgress"_s, Qt::RightButton, 0);
        rig.press(u"movieProgress"_s, Qt::LeftButton, 0.5);
        QCOMPARE(rig.engine.calls.size(), 1);
        QVERIFY(qAbs(rig.engine.calls.first().section(u' ', 1).toDouble() - 0.5) < 0.01);
    }

    // Closing while images are being written: the first close waits for them (capture
    // stops, the window stays); a second asks, with their count, whether to lose them; No
    // waits on, and the window closes itself once they are on disk. Yes would drop them.
    void closeWaitsForImages() {
        Rig rig;
        rig.loadPlaying();
        rig.form->show();
        // Noise, slow to encode as PNG, so that the write is still going on.
        QImage noise(4000, 3000, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, random.generate());
        rig.engine.show(noise);
        rig.trigger(u"snapshotCommand"_s);
        QVERIFY(rig.capture.pending() > 0);
        const qsizetype before = rig.platform.messages.size();
        QVERIFY(!rig.form->close());
        QCOMPARE(rig.platform.messages.size(), before);
        rig.platform.answers = {MessageAnswer::No};
        QVERIFY(!rig.form->close());
        QVERIFY2(rig.platform.messages.last().text.startsWith(u"1 images are not written yet"_s),
                 qPrintable(rig.platform.messages.last().text));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.form->isVisible(), 60000);
        QCOMPARE(rig.snapshots().size(), 1);
    }

    // The frame goes to the clipboard at the size it is shown at; the snapshot folder of the
    // video opens, made first. Marks take the frame's time, follow it when the engine finds
    // the paused frame exactly, and go with the next load.
    void frameCommands() {
        Rig rig;
        rig.loadPlaying();
        rig.engine.frame.shownSize = QSize(16, 6);
        rig.trigger(u"copyFrameMenu"_s);
        QCOMPARE(rig.platform.copied.size(), QSize(16, 6));
        rig.trigger(u"openSnapshotFolderMenu"_s);
        const QString folder = rig.dir.path() + u"/shots/clip.avi Images"_s;
        QCOMPARE(rig.platform.openedDocuments, QStringList{folder});
        QVERIFY(QFileInfo(folder).isDir());
        rig.trigger(u"nextFrameMenu"_s);
        QCOMPARE(rig.engine.calls, QStringList({u"pause"_s, u"nextFrame"_s}));

        rig.engine.show(QImage(8, 6, QImage::Format_RGB32)); // at 3 s
        rig.trigger(u"markOutMenu"_s);
        rig.engine.time = 1;
        rig.engine.show(QImage(8, 6, QImage::Format_RGB32));
        rig.trigger(u"markInMenu"_s);
        rig.engine.frame.timeMs = 1040;
        rig.engine.frame.frameNumber = 26;
        Q_EMIT rig.engine.frameChanged();
        QCOMPARE(rig.player().markInMs(), 1040);
        QCOMPARE(rig.player().markOutMs(), 3000);
        QVERIFY(rig.form->findChild<QAction*>(u"exportFramesMenu"_s)->isEnabled());
        rig.player().load(rig.player().currentVideo(), LoadMode::Replace);
        QCOMPARE(rig.player().markInMs(), -1);
        QCOMPARE(rig.player().markOutMs(), -1);
    }

    // Playing: progress and time; paused: the set stays on until the engine reports no
    // media; then the cover is back, the set off but Play, and the commands without a
    // video do nothing.
    void timerTick() {
        Rig rig;
        rig.loadPlaying();
        QCOMPARE(rig.control<QProgressBar>(u"movieProgress"_s)->value(), 25);
        QCOMPARE(rig.label(u"timeElapsed"_s), u"00:00:03 / 00:00:12"_s);
        rig.engine.playing = false;
        rig.engine.report();
        rig.player().tick();
        QVERIFY(rig.enabled(u"fullScreenButton"_s));
        rig.engine.position = -1;
        rig.engine.report();
        QVERIFY(!rig.control(u"logoHide"_s)->isHidden());
        for (const QString& name : kPlaybackSet)
            QVERIFY2(!rig.enabled(name), qPrintable(name));
        QVERIFY(rig.enabled(u"playButton"_s));
        QCOMPARE(rig.label(u"timeElapsed"_s), QString());
        // Without a video the commands do nothing at all.
        rig.engine.calls.clear();
        rig.player().pause();
        rig.player().rewind();
        QVERIFY(rig.player().faster());
        rig.trigger(u"fullScreenMenu"_s);
        QVERIFY2(rig.engine.calls.isEmpty(), qPrintable(rig.engine.calls.join(u", "_s)));
        QVERIFY(!rig.form->stage()->isFullScreen());
        QCOMPARE(rig.platform.beeps + rig.platform.messages.size(), 0);
    }

    // The one rule for the controls: set on or off, Pause pressed, modes running.
    void controlStates_data() {
        QTest::addColumn<QString>("state");  // on, paused, modes (c continuous, t timed)
        QTest::addColumn<QString>("usable"); // play pause rewind snapshot continuous timed menu
        const char* rows[][3] = {
            {"off", "0 0 -", "P......"},    {"playing", "1 0 -", "PPRSCTM"},
            {"paused", "1 1 -", "P..SCTM"}, {"continuous", "1 0 c", "PPR.C.M"},
            {"timed", "1 0 t", "PPR..TM"},  {"both, through the menu", "1 0 ct", "PPR...M"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[1]) << QString::fromLatin1(row[2]);
    }
    void controlStates() {
        QFETCH(QString, state);
        const QStringList parts = state.split(u' ');
        const bool on = parts[0] == u"1"_s;
        const QString& modes = parts[2];
        CaptureModes capture;
        if (modes.contains('c'))
            capture.toggleContinuous();
        if (modes.contains('t'))
            capture.startTimed(1000);
        const ControlStates s = controlStatesFor({on, true, parts[1] == u"1"_s}, capture);
        const bool flags[] = {s.play,       s.pause, s.rewind,  s.snapshot,
                              s.continuous, s.timed, s.editMenu};
        QString usable;
        for (int i = 0; i < 7; ++i)
            usable += flags[i] ? u"PPRSCTM"_s.at(i) : u'.';
        QTEST(usable, "usable");
        QCOMPARE(s.fastForward, s.rewind);
        QCOMPARE(s.stop, on);
    }

    // Continuous capture writes real files on playing ticks; timed capture with the
    // prompt takes the typed interval and shoots at once, and pauses with playback.
    void captureModes() {
        Rig rig;
        rig.loadPlaying();
        rig.click(u"continuousSnapshotsButton"_s);
        rig.player().tick();
        QVERIFY(rig.capture.waitForDone(10000));
        QTRY_COMPARE(rig.snapshots(), QStringList{u"IMG_00001.png"_s});
        rig.click(u"continuousSnapshotsButton"_s);
        rig.settings.skipTimedPrompt = 0;
        rig.platform.dialogScript = [](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(u"milliseconds"_s)->setText(u"1500.6"_s);
            dialog.findChild<QPushButton*>(u"OKButton"_s)->click();
            return dialog.result();
        };
        rig.engine.show(QImage(8, 6, QImage::Format_RGB32));
        rig.click(u"timedSnapshotsButton"_s);
        QCOMPARE(rig.timer(u"snapshotsTimer"_s)->interval(), 1501);
        QCOMPARE(rig.settings.timedInterval, 1501);
        QCOMPARE(rig.player().modes().interval(), 1501);
        QTRY_COMPARE(rig.snapshots().size(), 2);
        // Paused, no picture is taken again and again; playing again, the timer goes on.
        for (const bool playing : {false, true}) {
            rig.engine.playing = playing;
            rig.engine.report();
            QCOMPARE(rig.timer(u"snapshotsTimer"_s)->isActive(), playing);
        }
        // Cancelled: nothing changes. Config.cfg's interval is kept within the dialog's range.
        rig.click(u"timedSnapshotsButton"_s);
        rig.platform.dialogScript = nullptr;
        rig.click(u"timedSnapshotsButton"_s);
        QVERIFY(!rig.player().modes().timed());
        rig.settings = {};
        rig.settings.skipTimedPrompt = 1;
        rig.settings.timedInterval = 70000;
        rig.click(u"timedSnapshotsButton"_s);
        QCOMPARE(rig.timer(u"snapshotsTimer"_s)->interval(), 60000);
    }

    // A number out of the range is told the range; what is no positive number, that it must
    // be one. The dialog stays for another try.
    void timedIntervalRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString range = u"Please enter a valid numeric time ranging from 1000 - 60000."_s;
        const QString numeric = u"Value should be numeric and greater than zero."_s;
        QTest::newRow("too short") << u"500"_s << range;
        QTest::newRow("too long") << u"70000"_s << range;
        QTest::newRow("no number") << u"soon"_s << numeric;
        QTest::newRow("zero") << u"0"_s << numeric;
        QTest::newRow("negative") << u"-2000"_s << numeric;
    }
    void timedIntervalRefused() {
        QFETCH(QString, typed);
        Rig rig;
        rig.loadPlaying();
        rig.settings.skipTimedPrompt = 0;
        rig.platform.dialogScript = [&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(u"milliseconds"_s)->setText(typed);
            dialog.findChild<QPushButton*>(u"OKButton"_s)->click();
            const int afterOk = dialog.result();
            dialog.findChild<QPushButton*>(u"CancelButton"_s)->click();
            return afterOk == QDialog::Accepted ? afterOk : dialog.result();
        };
        rig.click(u"timedSnapshotsButton"_s);
        QFETCH(QString, message);
        QCOMPARE(rig.messages(), QStringList{u"Critical Error: %1 [Ok]"_s.arg(message)});
        QVERIFY(!rig.player().modes().timed());
    }

    // The player's keys and the focused control's keys, through the real window's
    // shortcuts: what reaches the engine.
    void keys_data() {
        QTest::addColumn<QString>("focus"); // a control's objectName, or none
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("call");
        QTest::newRow("Space, no focus") << QString() << false << int(Qt::Key_Space) << "pause";
        QTest::newRow("Space, paused") << QString() << true << int(Qt::Key_Space) << "play";
        QTest::newRow("Space on Stop") << u"stopButton"_s << false << int(Qt::Key_Space) << "stop";
        QTest::newRow("Enter on Stop") << u"stopButton"_s << false << int(Qt::Key_Return) << "stop";
        QTest::newRow("Enter on Faster")
            << u"Command2"_s << false << int(Qt::Key_Enter) << "setRate 1.5";
        QTest::newRow("Space, folder box")
            << u"quickSnapshotFolder"_s << false << int(Qt::Key_Space) << "pause";
        QTest::newRow("Left, folder box")
            << u"quickSnapshotFolder"_s << false << int(Qt::Key_Left) << "shuttle -1";
        QTest::newRow("Right, paused") << QString() << true << int(Qt::Key_Right) << "shuttle 1";
        QTest::newRow("Right on the volume")
            << u"volumeSlider"_s << false << int(Qt::Key_Right) << "setVolume 51";
        QTest::newRow("Up, no focus") << QString() << false << int(Qt::Key_Up) << "setVolume 55";
    }
    void keys() {
        QFETCH(QString, focus);
        QFETCH(bool, paused);
        QFETCH(int, key);
        Rig rig;
        rig.form->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.form.get()));
        rig.loadPlaying();
        if (paused) {
            rig.click(u"pauseButton"_s);
            rig.engine.playing = false;
            rig.engine.report();
        }
        if (!focus.isEmpty())
            rig.control(focus)->setFocus(Qt::TabFocusReason);
        rig.engine.calls.clear();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : rig.form.get(),
                        Qt::Key(key));
        QTEST(rig.engine.calls.value(0), "call");
        QCOMPARE(rig.engine.calls.size(), key == Qt::Key_Up ? 2 : 1); // and sound on
    }

    // A click on a button or on the video takes the focus out of the folder box; a click
    // into it gives it back.
    void clickLeavesFolderBox() {
        Rig rig;
        rig.form->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.form.get()));
        rig.loadPlaying();
        for (const QString& clicked : {u"snapshotButton"_s, u"stage"_s}) {
            QTest::mouseClick(rig.control(u"quickSnapshotFolder"_s), Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), rig.control(u"quickSnapshotFolder"_s));
            QTest::mouseClick(rig.control(clicked), Qt::LeftButton);
            QVERIFY(QApplication::focusWidget() != rig.control(u"quickSnapshotFolder"_s));
        }
    }

    // Whatever ends the modes ends both, once, with at most one message.
    void captureEnds_data() {
        QTest::addColumn<RigStep>("event");
        QTest::addColumn<QString>("message");
        QTest::newRow("Stop") << RigStep([](Rig& r) { r.click(u"stopButton"_s); }) << QString();
        QTest::newRow("end of the video") << RigStep([](Rig& r) {
            // A time past the length is no end (two streams joined count from 0 again):
            // the engine's word is.
            r.engine.time = 13;
            r.player().tick();
            QVERIFY(r.player().modes().any());
            r.engine.playing = false;
            r.engine.position = -1;
            Q_EMIT r.engine.stateChanged(PlaybackState::Ended);
        }) << QString();
        QTest::newRow("media gone") << RigStep([](Rig& r) {
            r.engine.playing = false;
            r.engine.position = -1;
            r.engine.report();
        }) << QString();
        QTest::newRow("snapshot failed on the worker")
            << RigStep([](Rig& r) { Q_EMIT r.capture.failed(u"Disk full"_s); })
            << u"None : Error\n\nDisk full [Ok]"_s;
        QTest::newRow("a sound file") << RigStep([](Rig& r) {
            r.engine.noVideo = true;
            r.player().timedTick();
        }) << u"None : Error\n\nThere is no picture to capture: this file holds no video. [Ok]"_s;
        QTest::newRow("snapshot refused at once") << RigStep([](Rig& r) {
            r.engine.position = -1;
            r.player().timedTick();
        }) << u"None : Error [Ok]"_s;
    }
    void captureEnds() {
        QFETCH(RigStep, event);
        Rig rig;
        rig.loadPlaying();
        rig.click(u"continuousSnapshotsButton"_s);
        rig.trigger(u"timedSnapshots"_s);
        event(rig);
        QVERIFY(!rig.player().modes().any());
        QVERIFY(!rig.timer(u"snapshotsTimer"_s)->isActive());
        QFETCH(QString, message);
        QCOMPARE(rig.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    // A Config.cfg from Windows names "C:\": nothing is written, the user is told. A folder
    // picked with Browse holds at once, without a reload.
    void snapshotFolderRules() {
        Rig rig;
        rig.form->Form_Load();
        rig.settings.snapshotFolder = u"C:\\"_s;
        rig.play();
        rig.click(u"snapshotButton"_s);
        QCOMPARE(rig.messages(),
                 QStringList{u"None : Error\n\nThe snapshots path is not a "
                             "full path: \"C:\\\". Choose a folder with Browse. [Ok]"_s});
        // A folder whose name ends in a blank would be another one at the next start.
        rig.platform.folderAnswer = rig.dir.path() + u"/other "_s;
        rig.click(u"browseCommand"_s);
        QVERIFY(rig.messages().last().contains(u"cannot begin or end with a blank"_s));
        QCOMPARE(rig.settings.snapshotFolder, u"C:\\"_s);
        rig.platform.folderAnswer = rig.dir.path() + u"/other"_s;
        rig.click(u"browseCommand"_s);
        QCOMPARE(rig.messages().size(), 2);
        QVERIFY(rig.engine.calls.isEmpty());
        QCOMPARE(rig.capture.target().folder, rig.dir.path() + u"/other/clip.avi Images"_s);
        Settings reread;
        QVERIFY(LoadConfiguration(rig.dir.path() + u"/Config.cfg"_s, reread));
        QCOMPARE(reread.snapshotFolder, rig.dir.path() + u"/other"_s);
    }

    // Options changed while a video plays hold from the next snapshot: no question, no
    // reload, the place in the video and playback untouched.
    void optionsHoldAtOnce() {
        Rig rig;
        rig.loadPlaying();
        QVERIFY(rig.engine.keepScreenAwake);
        rig.platform.dialogScript = [](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(u"snapshotPrefix"_s)->setText(u"NEW_"_s);
            dialog.findChild<QComboBox*>(u"imageFormats"_s)->setCurrentIndex(1);
            dialog.findChild<QCheckBox*>(u"screenSaver"_s)->setChecked(false);
            dialog.findChild<QPushButton*>(u"OKButton"_s)->click();
            return dialog.result();
        };
        rig.trigger(u"optionsMenuCommand"_s);
        QVERIFY(rig.messages().isEmpty());
        QVERIFY(rig.engine.calls.isEmpty());
        QVERIFY(!rig.engine.keepScreenAwake);
        rig.click(u"snapshotButton"_s);
        QVERIFY(rig.capture.waitForDone(10000));
        QCOMPARE(rig.snapshots(), QStringList{u"NEW_00001.jpg"_s});
        QVERIFY(rig.engine.playing);
    }

    // The window comes back at its size and place; a broken record is ignored, and
    // replaced at the next close.
    void windowPlacement() {
        Rig rig;
        rig.form->Form_Load();
        rig.form->show();
        const QSize design = rig.form->size();
        rig.form->setGeometry(QRect(QPoint(40, 30), design + QSize(200, 120)));
        const QRect placed = rig.form->geometry();
        rig.form->close();
        rig.reopen();
        rig.form->Form_Load();
        QCOMPARE(rig.form->size(), placed.size());
        rig.form->close();
        QFile broken(rig.dir.filePath(u"Window.ini"_s));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("[MainWindow]\ngeometry=@ByteArray(\x01\xffnot a geometry)\n\0\0");
        broken.close();
        rig.reopen();
        rig.form->Form_Load();
        QCOMPARE(rig.form->size(), design);
        QCOMPARE(rig.messages(), QStringList());
        rig.form->close();
        QVERIFY(!loadWindowPlacement(rig.dir.path()).isEmpty());
        QVERIFY(rig.form->restoreGeometry(loadWindowPlacement(rig.dir.path())));
        // Config.cfg keeps its eight lines.
        QFile config(rig.dir.filePath(u"Config.cfg"_s));
        QVERIFY(config.open(QIODevice::ReadOnly));
        QCOMPARE(config.readAll().count('\n'), 8);
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
        Rig rig;
        rig.form->show();
        rig.loadPlaying();
        if (capturing)
            rig.click(u"continuousSnapshotsButton"_s);
        rig.platform.answers = {answer};
        QTEST(rig.form->close(), "closes");
        QCOMPARE(rig.messages().size(), capturing ? 1 : 0);
        // Late reports of the engine show no box once the window is gone.
        Q_EMIT rig.engine.playbackFailed(u"/videos/x.avi"_s);
        QCOMPARE(rig.messages().size(), capturing ? 1 + int(answer == MessageAnswer::No) : 0);
    }

    // Three cases of the layout pass, a few controls each; the window never gets smaller
    // than its design size.
    void layout_data() {
        QTest::addColumn<QSizeF>("client");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("minimum stage") << QSizeF(489, 418) << "stage" << QRectF(72, 8, 345, 258.75);
        QTest::newRow("wider stage") << QSizeF(1000, 418) << "stage" << QRectF(322, 8, 356, 267);
        QTest::newRow("taller strip") << QSizeF(489, 800) << "toolTips" << QRectF(0, 775, 489, 25);
    }
    void layout() {
        QFETCH(QSizeF, client);
        QFETCH(QString, control);
        const MainLayout layout =
            computeMainLayout(float(client.width()), float(client.height()), 418 - 7 - 276, 15);
        QTEST(layout.rect(control), "expected");
        QCOMPARE(enforceMinimumSize({100, 9000}, {7455, 6960}).value_or(QSizeF()),
                 QSizeF(7455, 9000));
    }
    // The Options dialog switches the language at once, the names a screen reader reads
    // with it.
    void dialogsAndHelp() {
        Rig rig;
        rig.writePack(u"English.ini"_s, "");
        rig.writePack(
            u"German.ini"_s,
            "10=&Datei\r\n75=Speicherort:\r\n028=Wiedergabe\r\n034=Lautst\xC3\xA4rke\r\n");
        rig.form->Form_Load();
        const auto spoken = [&rig](const char* name) {
            return QAccessible::queryAccessibleInterface(rig.control(QString::fromLatin1(name)))
                ->text(QAccessible::Name);
        };
        const char* names[] = {"playButton", "volumeSlider", "quickSnapshotFolder", "muteStatus"};
        QStringList english;
        for (const char* name : names)
            english << spoken(name);
        QCOMPARE(english, QStringList({u"Play"_s, u"Volume"_s, u"Snapshots Path"_s, u"Mute"_s}));
        rig.platform.dialogScript = [](QDialog& dialog) {
            dialog.findChild<QComboBox*>(u"availableLanguages"_s)->setCurrentText(u"German"_s);
            dialog.findChild<QPushButton*>(u"OKButton"_s)->click();
            return dialog.result();
        };
        rig.trigger(u"optionsMenuCommand"_s);
        QCOMPARE(rig.settings.languageFile, u"German.ini"_s);
        QCOMPARE(rig.control<QMenu>(u"fileMenu"_s)->title(), u"&Datei"_s);
        QCOMPARE(rig.control<QGroupBox>(u"quickPath"_s)->title(), u"Speicherort"_s);
        QStringList german;
        for (const char* name : names)
            german << spoken(name);
        QCOMPARE(german,
                 QStringList({u"Wiedergabe"_s, u"Lautstärke"_s, u"Speicherort"_s, u"Mute"_s}));
        for (QPushButton* button : rig.form->findChildren<QPushButton*>())
            QVERIFY2(!spoken(qPrintable(button->objectName())).isEmpty(),
                     qPrintable(button->objectName()));
    }

    // A skin that cannot be used (missing, or not a style sheet) gives way to the built-in
    // one, the shipped skin; that one parses.
    void skinAndSplash() {
        QTemporaryDir dir;
        QFile builtIn(u":/skin/Skin.skf"_s);
        QVERIFY(builtIn.open(QIODevice::ReadOnly));
        const QString shippedSheet = QString::fromUtf8(builtIn.readAll());
        for (const QByteArray& content : {QByteArray(), QByteArray("\xff\xfe\x00garbage{", 11)}) {
            if (!content.isNull()) {
                QFile file(dir.filePath(u"Skin.skf"_s));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
            }
            qApp->setStyleSheet(u"QWidget {}"_s);
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(u"Skin not applied: .* built-in skin"_s));
            QVERIFY(!loadSkin(dir.filePath(u"Skin.skf"_s)));
            QCOMPARE(qApp->styleSheet(), shippedSheet);
        }
        const QString shipped = qEnvironmentVariable("FRAMORA_SOURCE_DIR") + u"/skin/Skin.skf"_s;
        QTest::failOnWarning(QRegularExpression(u"(?i)style ?sheet"_s));
        QVERIFY(loadSkin(shipped));
        qApp->setStyleSheet(QString());
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
