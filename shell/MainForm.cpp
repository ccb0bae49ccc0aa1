#include "shell/MainForm.h"

#include "capture/CaptureService.h"
#include "folderbrowse/FolderBrowse.h"
#include "localisation/ErrorLog.h"
#include "localisation/PackLanguage.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "playback/MediaEngine.h"
#include "playback/MediaTypes.h"
#include "playback/VideoSurface.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "settings/WindowPlacement.h"
#include "shell/AboutForm.h"
#include "shell/ControlStates.h"
#include "shell/GlyphFaces.h"
#include "shell/PlayerKeys.h"
#include "shell/ProgressMarks.h"
#include "shell/Skin.h"
#include "shell/SplashForm.h"
#include "shell/TrackMenus.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cmath>
#include <memory>

namespace {
// The window's design client area in twips (489 x 418 pixels at 96 DPI).
constexpr double kDesignClientWidthTwips = 7335;
constexpr double kDesignClientHeightTwips = 6270;
constexpr double kDesignProgressTopTwips = 4140;
} // namespace

MainForm::MainForm(Settings& settings, MediaEngine& engine, CaptureService& capture,
                   MediaService& media, Platform& platform, SettingsLocation location,
                   QWidget* parent)
    : QMainWindow(parent), settings_(settings), engine_(engine), capture_(capture),
      platform_(platform), location_(std::move(location)),
      lookup_(platform.applicationFolder(), settings.languageFile, location_.errorLog()),
      configPath_(location_.configFile()), player_(engine, capture, media, settings) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Framora"));
    setWindowIcon(applicationIcon());
    ui_ = MainControls::build(*this, platform_, this);
    new TrackMenus(ui_, engine_, lookup_, this);
    setMuteGlyph(false);
    connectControls();

    resizeToDesignSize();
}

// The client area opens at its design size; the menu bar's height depends on the style,
// so this runs again once the skin is on.
void MainForm::resizeToDesignSize() {
    const double tpp = twipsPerPixel(*this);
    const int clientWidth = static_cast<int>(std::lround(kDesignClientWidthTwips / tpp));
    const int clientHeight = static_cast<int>(std::lround(kDesignClientHeightTwips / tpp));
    ui_.client->resize(clientWidth, clientHeight);
    setMinimumSize(0, 0);
    resize(clientWidth, clientHeight + menuBar()->sizeHint().height());
}

MainForm::~MainForm() = default;

void MainForm::Form_Load(SplashForm* splash) {
    const double tpp = twipsPerPixel(*this);
    supportedExtensions_ = supportedExtensionList();
    ui_.logoHide->move(ui_.stage->x(), ui_.logoHide->y());
    ui_.volumeSlider->setValue(engine_.Volume());
    progressBottomGap_ =
        static_cast<float>(ui_.client->height() - 7 - kDesignProgressTopTwips / tpp);
    ensureAboutForm();
    showView();
    (void)loadSkin(platform_.applicationFolder() + QStringLiteral("/Skin.skf"));

    // A new user starts in the system's language when there is a pack for it.
    const QStringList packs = QDir(platform_.applicationFolder() + QStringLiteral("/Lang"))
                                  .entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
    const ConfigurationStart config = StartConfiguration(
        location_, settings_, packForLanguage(packs, QLocale::system().language()));
    ui_.quickSnapshotFolder->setText(settings_.snapshotFolder);
    player_.settingsChanged();
    ApplyLanguageCaptions();
    // The menu bar's height depends on the skin and on the captions, so the window takes
    // its design size, and with it its minimum size, only now.
    resizeToDesignSize();
    minHeight_ = static_cast<int>(std::lround(height() * tpp));
    minWidth_ = static_cast<int>(std::lround(width() * tpp));
    setMinimumSize(width(), height());
    // Where the user left it last time; a broken or missing record leaves the design size.
    (void)restoreGeometry(loadWindowPlacement(location_.folder));
    if (splash)
        splash->close();
    // No control has the focus at first: Space plays and pauses, Tab starts at Play.
    ui_.stage->setFocus();

    if (config.tell()) {
        // Claiming a new file was created when it could not be written would send the user
        // looking for a file that is not there, and the message would come at every start.
        const QString outcome = config.recreated
                                    ? lookup_.text("09", "A new one was created with the defaults.")
                                    : QStringLiteral("The defaults are used, but they could not be "
                                                     "saved to %1: %2")
                                          .arg(configPath_, config.error);
        (void)platform_.messageBox(
            this,
            lookup_.text("08", "Error in the configuration file.") + QLatin1Char('\r') +
                (config.problem.isEmpty() ? QString() : config.problem + QLatin1Char('\r')) +
                outcome,
            lookup_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
    }
    Form_Resize();
}

void MainForm::connectControls() {
    const auto onClick = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(ui_.playButton, &MainForm::playButton_Click);
    onClick(ui_.pauseButton, &MainForm::pauseButton_Click);
    onClick(ui_.stopButton, &MainForm::stopButton_Click);
    onClick(ui_.rewindButton, [this] { player_.rewind(); });
    onClick(ui_.ffButton, [this] { player_.forward(); });
    onClick(ui_.snapshotButton, [this] {
        if (player_.videoLoaded())
            snapshotCommand_Click();
    });
    onClick(ui_.continuousSnapshotsButton, [this] { player_.toggleContinuous(); });
    onClick(ui_.timedSnapshotsButton, &MainForm::timedSnapshotsButton_Click);
    onClick(ui_.command1, &MainForm::Command1_Click);
    onClick(ui_.command2, &MainForm::Command2_Click);
    onClick(ui_.fullScreenButton, &MainForm::fullScreenButton_Click);
    onClick(ui_.muteStatus, &MainForm::muteStatus_Click);
    onClick(ui_.browseCommand, &MainForm::browseCommand_Click);

    const auto onTrigger = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };
    onTrigger(ui_.openMenu, &MainForm::openMenu_Click);
    onTrigger(ui_.openSnapshotFolderMenu, &MainForm::openSnapshotFolder_Click);
    onTrigger(ui_.nextFrameMenu, [this] { player_.nextFrame(); });
    onTrigger(ui_.previousFrameMenu, [this] { player_.previousFrame(); });
    onTrigger(ui_.copyFrameMenu, &MainForm::copyFrame_Click);
    onTrigger(ui_.markInMenu, [this] { player_.markIn(); });
    onTrigger(ui_.markOutMenu, [this] { player_.markOut(); });
    onTrigger(ui_.exportFramesMenu, &MainForm::exportFrames_Click);
    onTrigger(ui_.addSubtitleFileMenu, &MainForm::addSubtitleFile_Click);
    connect(ui_.exitCommand, &QAction::triggered, this, &QWidget::close);
    onTrigger(ui_.snapshotCommand, &MainForm::snapshotCommand_Click);
    // The Edit menu's two capture items act as their buttons.
    onTrigger(ui_.continuousSnapshots, [this] { player_.toggleContinuous(); });
    onTrigger(ui_.timedSnapshots, &MainForm::timedSnapshotsButton_Click);
    onTrigger(ui_.fullScreenMenu, &MainForm::fullScreenButton_Click);
    onTrigger(ui_.optionsMenuCommand, &MainForm::optionsMenuCommand_Click);
    onTrigger(ui_.howToUseMenu, &MainForm::howToUseMenu_Click);
    onTrigger(ui_.checkUpdates, &MainForm::checkUpdates_Click);
    onTrigger(ui_.aboutMenu, &MainForm::aboutMenu_Click);

    connect(ui_.movieTimer, &QTimer::timeout, this, &MainForm::movieTimer_Timer);
    connect(ui_.snapshotsTimer, &QTimer::timeout, this, [this] { player_.timedTick(); });
    connect(ui_.toolTipTimer, &QTimer::timeout, this, &MainForm::toolTipTimer_Timer);
    // A drag or the mouse wheel moves the handle too; the engine follows, so that the
    // slider never shows a volume the engine does not have.
    connect(ui_.volumeSlider, &QSlider::actionTriggered, this,
            [this] { player_.setVolume(ui_.volumeSlider->sliderPosition()); });
    // The full-screen window covers the menus; their snapshot and full-screen shortcuts
    // keep working there.
    installPlayerKeys(*this);
    connect(ui_.stage, &VideoSurface::fullScreenChanged, this, [this](bool fullScreen) {
        if (QWidget* window = fullScreen ? ui_.stage->fullScreenWindow() : nullptr) {
            window->addActions({ui_.snapshotCommand, ui_.continuousSnapshots, ui_.fullScreenMenu,
                                ui_.nextFrameMenu, ui_.previousFrameMenu, ui_.copyFrameMenu,
                                ui_.markInMenu, ui_.markOutMenu});
            installPlayerKeys(*window);
        }
    });
    connect(&engine_, &MediaEngine::frameChanged, this,
            [this] { ui_.stage->showFrame(engine_.currentFrame()); });
    connect(&engine_, &MediaEngine::playbackFailed, this, &MainForm::showPlaybackError);
    connect(&engine_, &MediaEngine::mediaWarning, this,
            [this](const QString& message) { WriteErrorLog(location_.errorLog(), message); });
    connect(&player_, &PlayerController::viewChanged, this, &MainForm::showView);
    connect(&player_, &PlayerController::snapshotRefused, this, &MainForm::showSnapshotProblem);
    connect(&player_, &PlayerController::snapshotFailed, this, &MainForm::showSnapshotError);
    connect(&capture_, &CaptureService::previewReady, ui_.stage, &VideoSurface::showPreview);
    connect(&capture_, &CaptureService::written, this, &MainForm::showWritten);
    ui_.movieTimer->start();
}

void MainForm::installPlayerKeys(QWidget& window) {
    PlayerKeys::Actions actions;
    actions.playing = [this] { return engine_.Playing(); };
    actions.stepVolume = [this](int step) {
        ui_.volumeSlider->setValue(ui_.volumeSlider->value() + step);
        // As a click on the slider: sound on, at that level.
        volumeSlider_MouseDown(Qt::LeftButton);
    };
    actions.shuttle = [this](int direction) {
        if (direction < 0)
            player_.rewind();
        else
            player_.forward();
    };
    PlayerKeys::install(window, ui_, std::move(actions));
}

void MainForm::showView() {
    const PlayerView& view = player_.view();
    const ControlStates& s = view.controls;
    ui_.playButton->setEnabled(s.play);
    ui_.pauseButton->setEnabled(s.pause);
    ui_.stopButton->setEnabled(s.stop);
    ui_.rewindButton->setEnabled(s.rewind);
    ui_.ffButton->setEnabled(s.fastForward);
    ui_.command1->setEnabled(s.slower);
    ui_.command2->setEnabled(s.faster);
    ui_.fullScreenButton->setEnabled(s.fullScreen);
    ui_.snapshotButton->setEnabled(s.snapshot);
    ui_.continuousSnapshotsButton->setEnabled(s.continuous);
    ui_.timedSnapshotsButton->setEnabled(s.timed);
    ui_.exportFramesMenu->setEnabled(s.exportFrames);
    // A disabled menu must also silence the shortcuts of its items.
    ui_.editMenu->menuAction()->setEnabled(s.editMenu);
    for (QAction* action : ui_.editMenu->actions())
        action->setEnabled(s.editMenu);
    // Tracks are the playing video's.
    ui_.subtitlesMenu->menuAction()->setEnabled(s.editMenu);
    ui_.audioMenu->menuAction()->setEnabled(s.editMenu);
    ui_.logoHide->setVisible(view.coverShown);
    ui_.movieProgress->setValue(view.progress);
    // The text changes once a second: only then is it set, as each setting is announced
    // to a screen reader.
    if (ui_.timeElapsed->text() != view.time) {
        ui_.timeElapsed->setText(view.time);
        ui_.movieProgress->setAccessibleDescription(view.time);
    }
    ui_.progressMarks->setMarks(view.markIn, view.markOut);
    if (glyphCaption(*ui_.muteStatus) != (view.muted ? kMutedCaption : kSoundOnCaption))
        setMuteGlyph(view.muted);
    if (!view.timedTimerRunning) {
        ui_.snapshotsTimer->stop();
    } else {
        ui_.snapshotsTimer->setInterval(view.timedInterval);
        if (!ui_.snapshotsTimer->isActive())
            ui_.snapshotsTimer->start();
    }
    // "[*]" in a title is Qt's mark for unsaved changes; a file's name keeps it as it is.
    QString title = view.title;
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    if (windowTitle() != title)
        setWindowTitle(title);
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (player_.modes().any()) {
        const MessageAnswer answer = platform_.messageBox(
            this, QStringLiteral("Capturing process is running now are you sure to exit?"),
            QString(), MessageIcon::Exclamation, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    // Images still waiting to be written are written first, the window showing how many
    // are left (movieTimer_Timer closes it when they are done); a second close request is
    // the way to give up, and says how many would be lost.
    if (capture_.pending() > 0) {
        if (!closing_) {
            closing_ = true;
            player_.endCaptureModes();
            player_.pause();
            showCaptureStatus();
            event->ignore();
            return;
        }
        const MessageAnswer answer = platform_.messageBox(
            this,
            lookup_.text("052", "%1 images are not written yet. Close anyway and lose them?")
                .arg(capture_.pending()),
            QString(), MessageIcon::Exclamation, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) {
            event->ignore();
            return;
        }
        capture_.dropWaiting();
    }
    if (!saveWindowPlacement(location_.folder, saveGeometry()))
        WriteErrorLog(location_.errorLog(),
                      QStringLiteral("The window's size and place could not be saved in %1")
                          .arg(location_.folder));
    delete aboutForm_;
    delete optionsDialog_;
    ui_.movieTimer->stop();
    ui_.snapshotsTimer->stop();
    ui_.toolTipTimer->stop();
    // Reports the engine makes from now on are not shown: a box opened after the window
    // has gone would cancel the program's end and leave it running with no window.
    closed_ = true;
    event->accept();
}
