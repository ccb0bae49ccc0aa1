#include "shell/MainForm.h"

#include "folderbrowse/FolderBrowse.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "playback/MediaEngine.h"
#include "playback/MediaTypes.h"
#include "playback/VideoSurface.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "shell/AboutForm.h"
#include "shell/GlyphFaces.h"
#include "shell/Skin.h"
#include "shell/SplashForm.h"

#include <QAction>
#include <QCloseEvent>
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

namespace {
// The window's design client area in twips (489 x 418 pixels at 96 DPI).
constexpr double kDesignClientWidthTwips = 7335;
constexpr double kDesignClientHeightTwips = 6270;
constexpr double kDesignProgressTopTwips = 4140;
} // namespace

MainForm::MainForm(Settings& settings, MediaEngine& engine, Platform& platform, QWidget* parent)
    : QMainWindow(parent), settings_(settings), engine_(engine), platform_(platform),
      lookup_(platform.applicationFolder(), settings),
      configPath_(platform.applicationFolder() + QStringLiteral("/Config.cfg")) {
    // Window initialisation: the splash stays up while the load runs.
    splash_ = std::make_unique<SplashForm>();
    splash_->showNow();

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

QString MainForm::text(const char* key, const char* defaultText) const {
    return lookup_.SetCaptionfromINI(QString::fromLatin1(key), QString::fromUtf8(defaultText));
}

bool MainForm::Form_Load() {
    // No configuration has been read yet, so the refusal speaks in its default wording.
    if (platform_.anotherInstanceRunning()) {
        // The splash goes first: some window managers keep it above the message.
        splash_.reset();
        (void)platform_.messageBox(this, QStringLiteral("The application is already running."),
                                   QStringLiteral("Warning"), MessageIcon::Exclamation,
                                   MessageButtons::Ok);
        return false;
    }

    const double tpp = twipsPerPixel(*this);
    speedStep = 0;
    supportedExtensions = supportedExtensionList();
    logoHide->move(stage_->x(), logoHide->y());
    volumeSlider->setValue(engine_.Volume());
    movieProgress->setValue(0);
    progressBottomGap = static_cast<float>(client_->height() - 7 - kDesignProgressTopTwips / tpp);
    timedCapture = false;
    ensureAboutForm();
    EnablePlaybackControls(false);
    playButton->setEnabled(false);
    (void)loadSkin(platform_.applicationFolder() + QStringLiteral("/Skin.skf"));

    const bool loaded = LoadConfiguration(configPath_, settings_);
    QString recreateError;
    const bool recreated = loaded || RecreateConfiguration(configPath_, settings_, &recreateError);
    quickSnapshotFolder->setText(settings_.snapshotFolder);
    BuildEngineOptions();
    ApplyLanguageCaptions();
    // The menu bar's height depends on the skin and on the captions, so the window takes
    // its design size, and with it its minimum size, only now.
    resizeToDesignSize();
    minHeight = static_cast<int>(std::lround(height() * tpp));
    minWidth = static_cast<int>(std::lround(width() * tpp));
    setMinimumSize(width(), height());
    splash_.reset();

    if (!loaded) {
        // Claiming a new file was created when it could not be written would send the user
        // looking for a file that is not there, and the message would come at every start.
        const QString outcome =
            recreated ? text("09", "A new one was created with the defaults.")
                      : QStringLiteral("The defaults are used, but they could not be saved to "
                                       "%1: %2")
                            .arg(configPath_, recreateError);
        (void)platform_.messageBox(
            this, text("08", "Error in the configuration file.") + QLatin1Char('\r') + outcome,
            text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
    }
    Form_Resize();
    return true;
}

void MainForm::buildControls() {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    client_->setAttribute(Qt::WA_StyledBackground);
    client_->setStyleSheet(QStringLiteral("#client { background: black; }"));
    setCentralWidget(client_);

    stage_ = new VideoSurface(client_);
    stage_->setObjectName(QStringLiteral("stage"));

    logoHide = new QFrame(client_);
    logoHide->setObjectName(QStringLiteral("logoHide"));
    logoHide->setAutoFillBackground(true);
    logoHide->setStyleSheet(QStringLiteral("#logoHide { background: white; }"));
    logoHide->setAcceptDrops(true);
    logoHide->installEventFilter(this);

    const auto glyphButton = [this](QPushButton*& button, const char* name, Glyph glyph) {
        button = new QPushButton(client_);
        button->setObjectName(QString::fromLatin1(name));
        // Tab reaches the buttons for keyboard use; a mouse click leaves the focus alone.
        button->setFocusPolicy(Qt::TabFocus);
        button->setMouseTracking(true);
        button->installEventFilter(this);
        setGlyphFace(*button, glyph);
    };
    glyphButton(playButton, "playButton", Glyph::Play);
    glyphButton(pauseButton, "pauseButton", Glyph::Pause);
    glyphButton(stopButton, "stopButton", Glyph::Stop);
    glyphButton(rewindButton, "rewindButton", Glyph::Rewind);
    glyphButton(ffButton, "ffButton", Glyph::FastForward);
    glyphButton(snapshotButton, "snapshotButton", Glyph::Snapshot);
    glyphButton(continuousSnapshotsButton, "continuousSnapshotsButton", Glyph::Continuous);
    glyphButton(timedSnapshotsButton, "timedSnapshotsButton", Glyph::Timed);
    glyphButton(Command1, "Command1", Glyph::Slower);
    glyphButton(Command2, "Command2", Glyph::Faster);
    glyphButton(fullScreenButton, "fullScreenButton", Glyph::FullScreen);
    glyphButton(muteStatus, "muteStatus", Glyph::SoundOn);
    setMuteCaption(kSoundOnCaption);

    volumeSlider = new QSlider(Qt::Horizontal, client_);
    volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider->setRange(0, 100);
    volumeSlider->setFocusPolicy(Qt::TabFocus);
    volumeSlider->installEventFilter(this);

    movieProgress = new QProgressBar(client_);
    movieProgress->setObjectName(QStringLiteral("movieProgress"));
    movieProgress->setRange(0, 100);
    movieProgress->setTextVisible(false);
    movieProgress->installEventFilter(this);

    timeElapsed = new QLabel(client_);
    timeElapsed->setObjectName(QStringLiteral("timeElapsed"));
    timeElapsed->setAlignment(Qt::AlignCenter);

    quickPath = new QGroupBox(client_);
    quickPath->setObjectName(QStringLiteral("quickPath"));
    quickSnapshotFolder = new QLineEdit(quickPath);
    quickSnapshotFolder->setObjectName(QStringLiteral("quickSnapshotFolder"));
    quickSnapshotFolder->setEnabled(false);
    browseCommand = new QPushButton(quickPath);
    browseCommand->setObjectName(QStringLiteral("browseCommand"));

    toolTips = new QLabel(client_);
    toolTips->setObjectName(QStringLiteral("toolTips"));
    toolTips->setAutoFillBackground(true);
    toolTips->setStyleSheet(QStringLiteral("#toolTips { background: white; color: black; }"));
    toolTips->setContentsMargins(6, 0, 6, 0);
    QFont stripFont = toolTips->font();
    stripFont.setPointSize(12);
    toolTips->setFont(stripFont);

    FolderBrowse1 = new FolderBrowse(platform_, client_);
    FolderBrowse1->setObjectName(QStringLiteral("FolderBrowse1"));
    FolderBrowse1->hide();

    movieTimer = new QTimer(this);
    movieTimer->setObjectName(QStringLiteral("movieTimer"));
    movieTimer->setInterval(10);
    snapshotsTimer = new QTimer(this);
    snapshotsTimer->setObjectName(QStringLiteral("snapshotsTimer"));
    snapshotsTimer->setInterval(1000);
    toolTipTimer = new QTimer(this);
    toolTipTimer->setObjectName(QStringLiteral("toolTipTimer"));
    toolTipTimer->setInterval(3000);
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
    menu(fileMenu, "fileMenu");
    item(fileMenu, openMenu, "openMenu", QKeySequence(Qt::CTRL | Qt::Key_O));
    separator1 = fileMenu->addSeparator();
    separator1->setObjectName(QStringLiteral("separator1"));
    separator1->setVisible(false);
    item(fileMenu, exitCommand, "exitCommand", {});
    menu(editMenu, "editMenu");
    item(editMenu, snapshotCommand, "snapshotCommand", QKeySequence(Qt::CTRL | Qt::Key_F1));
    item(editMenu, continuousSnapshots, "continuousSnapshots", QKeySequence(Qt::CTRL | Qt::Key_F2));
    item(editMenu, timedSnapshots, "timedSnapshots", QKeySequence(Qt::CTRL | Qt::Key_F3));
    editMenu->addSeparator()->setObjectName(QStringLiteral("separator2"));
    item(editMenu, fullScreenMenu, "fullScreenMenu", QKeySequence(Qt::CTRL | Qt::Key_F4));
    menu(toolsMenu, "toolsMenu");
    item(toolsMenu, optionsMenuCommand, "optionsMenuCommand", {});
    menu(helpMenu, "helpMenu");
    item(helpMenu, howToUseMenu, "howToUseMenu", {});
    item(helpMenu, checkUpdates, "checkUpdates", {});
    checkUpdates->setVisible(false);
    helpMenu->addSeparator()->setObjectName(QStringLiteral("separator3"));
    item(helpMenu, aboutMenu, "aboutMenu", {});
}

void MainForm::connectControls() {
    const auto onClick = [this](QPushButton* button, void (MainForm::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(playButton, &MainForm::playButton_Click);
    onClick(pauseButton, &MainForm::pauseButton_Click);
    onClick(stopButton, &MainForm::stopButton_Click);
    onClick(rewindButton, &MainForm::rewindButton_Click);
    onClick(ffButton, &MainForm::ffButton_Click);
    onClick(snapshotButton, &MainForm::snapshotButton_Click);
    onClick(continuousSnapshotsButton, &MainForm::continuousSnapshotsButton_Click);
    onClick(timedSnapshotsButton, &MainForm::timedSnapshotsButton_Click);
    onClick(Command1, &MainForm::Command1_Click);
    onClick(Command2, &MainForm::Command2_Click);
    onClick(fullScreenButton, &MainForm::fullScreenButton_Click);
    onClick(muteStatus, &MainForm::muteStatus_Click);
    onClick(browseCommand, &MainForm::browseCommand_Click);

    const auto onTrigger = [this](QAction* action, void (MainForm::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    onTrigger(openMenu, &MainForm::openMenu_Click);
    connect(exitCommand, &QAction::triggered, this, &QWidget::close);
    onTrigger(snapshotCommand, &MainForm::snapshotCommand_Click);
    onTrigger(continuousSnapshots, &MainForm::continuousSnapshots_Click);
    onTrigger(timedSnapshots, &MainForm::timedSnapshots_Click);
    onTrigger(fullScreenMenu, &MainForm::fullScreenButton_Click);
    onTrigger(optionsMenuCommand, &MainForm::optionsMenuCommand_Click);
    onTrigger(howToUseMenu, &MainForm::howToUseMenu_Click);
    onTrigger(checkUpdates, &MainForm::checkUpdates_Click);
    onTrigger(aboutMenu, &MainForm::aboutMenu_Click);

    connect(movieTimer, &QTimer::timeout, this, &MainForm::movieTimer_Timer);
    connect(snapshotsTimer, &QTimer::timeout, this, &MainForm::snapshotsTimer_Timer);
    connect(toolTipTimer, &QTimer::timeout, this, &MainForm::toolTipTimer_Timer);
    // A drag or the mouse wheel moves the handle too; the engine follows, so that the
    // slider never shows a volume the engine does not have.
    connect(volumeSlider, &QSlider::actionTriggered, this,
            [this] { engine_.setVolume(volumeSlider->sliderPosition()); });
    // The full-screen window covers the menus; their snapshot and full-screen shortcuts
    // keep working there.
    connect(stage_, &VideoSurface::fullScreenChanged, this, [this](bool fullScreen) {
        if (QWidget* window = fullScreen ? stage_->fullScreenWindow() : nullptr)
            window->addActions({snapshotCommand, continuousSnapshots, fullScreenMenu});
    });
    connect(&engine_, &MediaEngine::snapshotFailed, this, &MainForm::showSnapshotError);
    connect(&engine_, &MediaEngine::playbackFailed, this, &MainForm::showPlaybackError);
    movieTimer->start();
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (timedCapture || continuousCapture) {
        const MessageAnswer answer = platform_.messageBox(
            this, QStringLiteral("Capturing process is running now are you sure to exit?"),
            QString(), MessageIcon::Exclamation, MessageButtons::YesNo);
        if (answer != MessageAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    delete aboutForm_;
    delete optionsDialog_;
    movieTimer->stop();
    snapshotsTimer->stop();
    toolTipTimer->stop();
    // Reports the engine makes from now on are not shown: a box opened after the window
    // has gone would cancel the program's end and leave it running with no window.
    closed_ = true;
    event->accept();
}
