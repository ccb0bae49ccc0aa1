#include "shell/MainForm.h"

#include "capture/CaptureService.h"
#include "folderbrowse/FolderBrowse.h"
#include "localisation/ErrorLog.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "playback/MediaEngine.h"
#include "playback/MediaTypes.h"
#include "playback/VideoSurface.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "shell/AboutForm.h"
#include "shell/ControlStates.h"
#include "shell/GlyphFaces.h"
#include "shell/ProgressMarks.h"
#include "shell/Skin.h"
#include "shell/SplashForm.h"

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
    buildControls();
    buildMenus();
    connectControls();

    resizeToDesignSize();
}

// The client area opens at its design size; the menu bar's height depends on the style,
// so this runs again once the skin is on.
void MainForm::resizeToDesignSize() {
    const double tpp = twipsPerPixel(*this);
    const int clientWidth = static_cast<int>(std::lround(kDesignClientWidthTwips / tpp));
    const int clientHeight = static_cast<int>(std::lround(kDesignClientHeightTwips / tpp));
    client_->resize(clientWidth, clientHeight);
    setMinimumSize(0, 0);
    resize(clientWidth, clientHeight + menuBar()->sizeHint().height());
}

MainForm::~MainForm() = default;

void MainForm::Form_Load(SplashForm* splash) {
    const double tpp = twipsPerPixel(*this);
    supportedExtensions_ = supportedExtensionList();
    logoHide_->move(stage_->x(), logoHide_->y());
    volumeSlider_->setValue(engine_.Volume());
    progressBottomGap_ = static_cast<float>(client_->height() - 7 - kDesignProgressTopTwips / tpp);
    ensureAboutForm();
    showView();
    (void)loadSkin(platform_.applicationFolder() + QStringLiteral("/Skin.skf"));

    // In the user's own folder no Config.cfg yet is a new user, whose defaults are written
    // without a word; beside the executable it means a damaged installation.
    const bool newUser =
        location_.perUser && !QFileInfo::exists(configPath_) && !QFileInfo(configPath_).isSymLink();
    if (newUser)
        (void)QDir().mkpath(location_.folder); // a failure shows in the save below
    const bool loaded = !newUser && LoadConfiguration(configPath_, settings_);
    QString recreateError;
    const bool recreated = loaded || RecreateConfiguration(configPath_, settings_, &recreateError);
    quickSnapshotFolder_->setText(settings_.snapshotFolder);
    player_.settingsChanged();
    ApplyLanguageCaptions();
    // The menu bar's height depends on the skin and on the captions, so the window takes
    // its design size, and with it its minimum size, only now.
    resizeToDesignSize();
    minHeight_ = static_cast<int>(std::lround(height() * tpp));
    minWidth_ = static_cast<int>(std::lround(width() * tpp));
    setMinimumSize(width(), height());
    if (splash)
        splash->close();

    if (!loaded && !(newUser && recreated)) {
        // Claiming a new file was created when it could not be written would send the user
        // looking for a file that is not there, and the message would come at every start.
        const QString outcome =
            recreated ? lookup_.text("09", "A new one was created with the defaults.")
                      : QStringLiteral("The defaults are used, but they could not be saved to "
                                       "%1: %2")
                            .arg(configPath_, recreateError);
        (void)platform_.messageBox(
            this,
            lookup_.text("08", "Error in the configuration file.") + QLatin1Char('\r') + outcome,
            lookup_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
    }
    Form_Resize();
}

void MainForm::buildControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setAttribute(Qt::WA_StyledBackground);
    client_->setStyleSheet(QStringLiteral("#client { background: black; }"));
    setCentralWidget(client_);

    stage_ = new VideoSurface(client_);
    stage_->setObjectName(QStringLiteral("stage"));

    logoHide_ = new QFrame(client_);
    logoHide_->setObjectName(QStringLiteral("logoHide"));
    logoHide_->setAutoFillBackground(true);
    logoHide_->setStyleSheet(QStringLiteral("#logoHide { background: white; }"));
    logoHide_->setAcceptDrops(true);
    logoHide_->installEventFilter(this);

    const auto glyphButton = [this](QPushButton*& button, const char* name, Glyph glyph) {
        button = new QPushButton(client_);
        button->setObjectName(QString::fromLatin1(name));
        // Tab reaches the buttons for keyboard use; a mouse click leaves the focus alone.
        button->setFocusPolicy(Qt::TabFocus);
        button->setMouseTracking(true);
        button->installEventFilter(this);
        setGlyphFace(*button, glyph);
    };
    glyphButton(playButton_, "playButton", Glyph::Play);
    glyphButton(pauseButton_, "pauseButton", Glyph::Pause);
    glyphButton(stopButton_, "stopButton", Glyph::Stop);
    glyphButton(rewindButton_, "rewindButton", Glyph::Rewind);
    glyphButton(ffButton_, "ffButton", Glyph::FastForward);
    glyphButton(snapshotButton_, "snapshotButton", Glyph::Snapshot);
    glyphButton(continuousSnapshotsButton_, "continuousSnapshotsButton", Glyph::Continuous);
    glyphButton(timedSnapshotsButton_, "timedSnapshotsButton", Glyph::Timed);
    glyphButton(command1_, "Command1", Glyph::Slower);
    glyphButton(command2_, "Command2", Glyph::Faster);
    glyphButton(fullScreenButton_, "fullScreenButton", Glyph::FullScreen);
    glyphButton(muteStatus_, "muteStatus", Glyph::SoundOn);
    setMuteGlyph(false);

    volumeSlider_ = new QSlider(Qt::Horizontal, client_);
    volumeSlider_->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider_->setRange(0, 100);
    volumeSlider_->setFocusPolicy(Qt::TabFocus);
    volumeSlider_->installEventFilter(this);

    movieProgress_ = new QProgressBar(client_);
    movieProgress_->setObjectName(QStringLiteral("movieProgress"));
    movieProgress_->setRange(0, 100);
    movieProgress_->setTextVisible(false);
    movieProgress_->installEventFilter(this);
    progressMarks_ = new ProgressMarks(movieProgress_);

    timeElapsed_ = new QLabel(client_);
    timeElapsed_->setObjectName(QStringLiteral("timeElapsed"));
    timeElapsed_->setAlignment(Qt::AlignCenter);

    quickPath_ = new QGroupBox(client_);
    quickPath_->setObjectName(QStringLiteral("quickPath"));
    quickSnapshotFolder_ = new QLineEdit(quickPath_);
    quickSnapshotFolder_->setObjectName(QStringLiteral("quickSnapshotFolder"));
    // Read-only rather than disabled: a screen reader reads it and Tab reaches it.
    quickSnapshotFolder_->setReadOnly(true);
    quickSnapshotFolder_->setFocusPolicy(Qt::StrongFocus);
    browseCommand_ = new QPushButton(quickPath_);
    browseCommand_->setObjectName(QStringLiteral("browseCommand"));

    toolTips_ = new QLabel(client_);
    toolTips_->setObjectName(QStringLiteral("toolTips"));
    toolTips_->setAutoFillBackground(true);
    toolTips_->setStyleSheet(QStringLiteral("#toolTips { background: white; color: black; }"));
    toolTips_->setContentsMargins(6, 0, 6, 0);
    QFont stripFont = toolTips_->font();
    stripFont.setPointSize(12);
    toolTips_->setFont(stripFont);

    folderBrowse1_ = new FolderBrowse(platform_, client_);
    folderBrowse1_->setObjectName(QStringLiteral("FolderBrowse1"));
    folderBrowse1_->hide();

    movieTimer_ = new QTimer(this);
    movieTimer_->setObjectName(QStringLiteral("movieTimer"));
    movieTimer_->setInterval(10);
    snapshotsTimer_ = new QTimer(this);
    snapshotsTimer_->setObjectName(QStringLiteral("snapshotsTimer"));
    snapshotsTimer_->setInterval(1000);
    toolTipTimer_ = new QTimer(this);
    toolTipTimer_->setObjectName(QStringLiteral("toolTipTimer"));
    toolTipTimer_->setInterval(3000);
}

void MainForm::buildMenus() {
    const auto menu = [this](QMenu*& m, const char* name) {
        m = menuBar()->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
    };
    const auto item = [this](QMenu* m, QAction*& a, const char* name, QKeySequence shortcut) {
        a = m->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(shortcut);
        // Shortcuts must work while the menu is closed, so the window owns them too.
        addAction(a);
    };
    menu(fileMenu_, "fileMenu");
    item(fileMenu_, openMenu_, "openMenu", QKeySequence(Qt::CTRL | Qt::Key_O));
    item(fileMenu_, openSnapshotFolderMenu_, "openSnapshotFolderMenu", {});
    item(fileMenu_, exportFramesMenu_, "exportFramesMenu", QKeySequence(Qt::CTRL | Qt::Key_E));
    QAction* separator1 = fileMenu_->addSeparator();
    separator1->setObjectName(QStringLiteral("separator1"));
    separator1->setVisible(false);
    item(fileMenu_, exitCommand_, "exitCommand", {});
    menu(editMenu_, "editMenu");
    item(editMenu_, snapshotCommand_, "snapshotCommand", QKeySequence(Qt::CTRL | Qt::Key_F1));
    item(editMenu_, continuousSnapshots_, "continuousSnapshots",
         QKeySequence(Qt::CTRL | Qt::Key_F2));
    item(editMenu_, timedSnapshots_, "timedSnapshots", QKeySequence(Qt::CTRL | Qt::Key_F3));
    editMenu_->addSeparator()->setObjectName(QStringLiteral("separator2"));
    item(editMenu_, fullScreenMenu_, "fullScreenMenu", QKeySequence(Qt::CTRL | Qt::Key_F4));
    editMenu_->addSeparator()->setObjectName(QStringLiteral("separator4"));
    item(editMenu_, nextFrameMenu_, "nextFrameMenu", QKeySequence(Qt::Key_Period));
    item(editMenu_, previousFrameMenu_, "previousFrameMenu", QKeySequence(Qt::Key_Comma));
    item(editMenu_, copyFrameMenu_, "copyFrameMenu", QKeySequence(Qt::CTRL | Qt::Key_C));
    editMenu_->addSeparator()->setObjectName(QStringLiteral("separator5"));
    item(editMenu_, markInMenu_, "markInMenu", QKeySequence(Qt::Key_BracketLeft));
    item(editMenu_, markOutMenu_, "markOutMenu", QKeySequence(Qt::Key_BracketRight));
    QMenu* toolsMenu = nullptr;
    QMenu* helpMenu = nullptr;
    menu(toolsMenu, "toolsMenu");
    item(toolsMenu, optionsMenuCommand_, "optionsMenuCommand", {});
    menu(helpMenu, "helpMenu");
    item(helpMenu, howToUseMenu_, "howToUseMenu", {});
    item(helpMenu, checkUpdates_, "checkUpdates", {});
    checkUpdates_->setVisible(false);
    helpMenu->addSeparator()->setObjectName(QStringLiteral("separator3"));
    item(helpMenu, aboutMenu_, "aboutMenu", {});
}

void MainForm::connectControls() {
    const auto onClick = [this](QPushButton* button, auto handler) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(playButton_, &MainForm::playButton_Click);
    onClick(pauseButton_, &MainForm::pauseButton_Click);
    onClick(stopButton_, &MainForm::stopButton_Click);
    onClick(rewindButton_, [this] { player_.rewind(); });
    onClick(ffButton_, [this] { player_.forward(); });
    onClick(snapshotButton_, [this] {
        if (player_.videoLoaded())
            snapshotCommand_Click();
    });
    onClick(continuousSnapshotsButton_, [this] { player_.toggleContinuous(); });
    onClick(timedSnapshotsButton_, &MainForm::timedSnapshotsButton_Click);
    onClick(command1_, &MainForm::Command1_Click);
    onClick(command2_, &MainForm::Command2_Click);
    onClick(fullScreenButton_, &MainForm::fullScreenButton_Click);
    onClick(muteStatus_, &MainForm::muteStatus_Click);
    onClick(browseCommand_, &MainForm::browseCommand_Click);

    const auto onTrigger = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, handler);
    };
    onTrigger(openMenu_, &MainForm::openMenu_Click);
    onTrigger(openSnapshotFolderMenu_, &MainForm::openSnapshotFolder_Click);
    onTrigger(nextFrameMenu_, [this] { player_.nextFrame(); });
    onTrigger(previousFrameMenu_, [this] { player_.previousFrame(); });
    onTrigger(copyFrameMenu_, &MainForm::copyFrame_Click);
    onTrigger(markInMenu_, [this] { player_.markIn(); });
    onTrigger(markOutMenu_, [this] { player_.markOut(); });
    onTrigger(exportFramesMenu_, &MainForm::exportFrames_Click);
    connect(exitCommand_, &QAction::triggered, this, &QWidget::close);
    onTrigger(snapshotCommand_, &MainForm::snapshotCommand_Click);
    // The Edit menu's two capture items act as their buttons.
    onTrigger(continuousSnapshots_, [this] { player_.toggleContinuous(); });
    onTrigger(timedSnapshots_, &MainForm::timedSnapshotsButton_Click);
    onTrigger(fullScreenMenu_, &MainForm::fullScreenButton_Click);
    onTrigger(optionsMenuCommand_, &MainForm::optionsMenuCommand_Click);
    onTrigger(howToUseMenu_, &MainForm::howToUseMenu_Click);
    onTrigger(checkUpdates_, &MainForm::checkUpdates_Click);
    onTrigger(aboutMenu_, &MainForm::aboutMenu_Click);

    connect(movieTimer_, &QTimer::timeout, this, &MainForm::movieTimer_Timer);
    connect(snapshotsTimer_, &QTimer::timeout, this, [this] { player_.timedTick(); });
    connect(toolTipTimer_, &QTimer::timeout, this, &MainForm::toolTipTimer_Timer);
    // A drag or the mouse wheel moves the handle too; the engine follows, so that the
    // slider never shows a volume the engine does not have.
    connect(volumeSlider_, &QSlider::actionTriggered, this,
            [this] { player_.setVolume(volumeSlider_->sliderPosition()); });
    // The full-screen window covers the menus; their snapshot and full-screen shortcuts
    // keep working there.
    installPlayerKeys(this);
    connect(stage_, &VideoSurface::fullScreenChanged, this, [this](bool fullScreen) {
        if (QWidget* window = fullScreen ? stage_->fullScreenWindow() : nullptr) {
            window->addActions({snapshotCommand_, continuousSnapshots_, fullScreenMenu_,
                                nextFrameMenu_, previousFrameMenu_, copyFrameMenu_, markInMenu_,
                                markOutMenu_});
            installPlayerKeys(window);
        }
    });
    connect(&engine_, &MediaEngine::frameChanged, this,
            [this] { stage_->showFrame(engine_.currentFrame()); });
    connect(&engine_, &MediaEngine::playbackFailed, this, &MainForm::showPlaybackError);
    connect(&engine_, &MediaEngine::mediaWarning, this,
            [this](const QString& message) { WriteErrorLog(location_.errorLog(), message); });
    connect(&player_, &PlayerController::viewChanged, this, &MainForm::showView);
    connect(&player_, &PlayerController::snapshotRefused, this, &MainForm::showSnapshotProblem);
    connect(&player_, &PlayerController::snapshotFailed, this, &MainForm::showSnapshotError);
    connect(&capture_, &CaptureService::previewReady, stage_, &VideoSurface::showPreview);
    movieTimer_->start();
}

void MainForm::showView() {
    const PlayerView& view = player_.view();
    const ControlStates& s = view.controls;
    playButton_->setEnabled(s.play);
    pauseButton_->setEnabled(s.pause);
    stopButton_->setEnabled(s.stop);
    rewindButton_->setEnabled(s.rewind);
    ffButton_->setEnabled(s.fastForward);
    command1_->setEnabled(s.slower);
    command2_->setEnabled(s.faster);
    fullScreenButton_->setEnabled(s.fullScreen);
    snapshotButton_->setEnabled(s.snapshot);
    continuousSnapshotsButton_->setEnabled(s.continuous);
    timedSnapshotsButton_->setEnabled(s.timed);
    exportFramesMenu_->setEnabled(s.exportFrames);
    // A disabled menu must also silence the shortcuts of its items.
    editMenu_->menuAction()->setEnabled(s.editMenu);
    for (QAction* action : editMenu_->actions())
        action->setEnabled(s.editMenu);
    logoHide_->setVisible(view.coverShown);
    movieProgress_->setValue(view.progress);
    // The text changes once a second: only then is it set, as each setting is announced
    // to a screen reader.
    if (timeElapsed_->text() != view.time) {
        timeElapsed_->setText(view.time);
        movieProgress_->setAccessibleDescription(view.time);
    }
    progressMarks_->setMarks(view.markIn, view.markOut);
    if (glyphCaption(*muteStatus_) != (view.muted ? kMutedCaption : kSoundOnCaption))
        setMuteGlyph(view.muted);
    if (!view.timedTimerRunning) {
        snapshotsTimer_->stop();
    } else {
        snapshotsTimer_->setInterval(view.timedInterval);
        if (!snapshotsTimer_->isActive())
            snapshotsTimer_->start();
    }
    if (windowTitle() != view.title)
        setWindowTitle(view.title);
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
    // are left (movieTimer_Timer closes it when they are done or the wait is over); a
    // second close request does not wait.
    if (capture_.pending() > 0 && !closing_) {
        closing_ = true;
        closeDeadline_.setRemainingTime(kCloseWaitMs);
        player_.endCaptureModes();
        player_.pause();
        showCaptureStatus();
        event->ignore();
        return;
    }
    delete aboutForm_;
    delete optionsDialog_;
    movieTimer_->stop();
    snapshotsTimer_->stop();
    toolTipTimer_->stop();
    // Reports the engine makes from now on are not shown: a box opened after the window
    // has gone would cancel the program's end and leave it running with no window.
    closed_ = true;
    event->accept();
}
