#include "shell/MainControls.h"

#include "folderbrowse/FolderBrowse.h"
#include "playback/VideoSurface.h"
#include "shell/GlyphFaces.h"
#include "shell/ProgressMarks.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <iterator>

MainControls MainControls::build(QMainWindow& window, Platform& platform, QObject* filter) {
    MainControls c;
    buildWidgets(c, window, platform, filter);
    buildMenus(c, window);
    return c;
}

void MainControls::buildWidgets(MainControls& c, QMainWindow& window, Platform& platform,
                                QObject* filter) {
    c.client = new QWidget(&window);
    c.client->setObjectName(QStringLiteral("client"));
    c.client->setAttribute(Qt::WA_StyledBackground);
    c.client->setStyleSheet(QStringLiteral("#client { background: black; }"));
    window.setCentralWidget(c.client);
    // A video dropped anywhere on the window opens (the window's dropEvent).
    window.setAcceptDrops(true);

    c.stage = new VideoSurface(c.client);
    c.stage->setObjectName(QStringLiteral("stage"));
    // A click on the video takes the focus from any control, so that the player's keys
    // are the window's again.
    c.stage->setFocusPolicy(Qt::ClickFocus);

    c.logoHide = new QFrame(c.client);
    c.logoHide->setObjectName(QStringLiteral("logoHide"));
    c.logoHide->setAutoFillBackground(true);
    c.logoHide->setStyleSheet(QStringLiteral("#logoHide { background: white; }"));

    const auto glyphButton = [&c, filter](QPushButton*& button, const char* name, Glyph glyph) {
        button = new QPushButton(c.client);
        button->setObjectName(QString::fromLatin1(name));
        // Tab reaches the buttons for keyboard use; a mouse click leaves the focus alone.
        button->setFocusPolicy(Qt::TabFocus);
        button->setMouseTracking(true);
        button->installEventFilter(filter);
        setGlyphFace(*button, glyph);
    };
    glyphButton(c.playButton, "playButton", Glyph::Play);
    glyphButton(c.pauseButton, "pauseButton", Glyph::Pause);
    glyphButton(c.stopButton, "stopButton", Glyph::Stop);
    glyphButton(c.rewindButton, "rewindButton", Glyph::Rewind);
    glyphButton(c.ffButton, "ffButton", Glyph::FastForward);
    glyphButton(c.snapshotButton, "snapshotButton", Glyph::Snapshot);
    glyphButton(c.continuousSnapshotsButton, "continuousSnapshotsButton", Glyph::Continuous);
    glyphButton(c.timedSnapshotsButton, "timedSnapshotsButton", Glyph::Timed);
    glyphButton(c.command1, "Command1", Glyph::Slower);
    glyphButton(c.command2, "Command2", Glyph::Faster);
    glyphButton(c.fullScreenButton, "fullScreenButton", Glyph::FullScreen);
    glyphButton(c.muteStatus, "muteStatus", Glyph::SoundOn);

    c.volumeSlider = new QSlider(Qt::Horizontal, c.client);
    c.volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    c.volumeSlider->setRange(0, 100);
    c.volumeSlider->setFocusPolicy(Qt::TabFocus);
    c.volumeSlider->installEventFilter(filter);

    c.movieProgress = new QProgressBar(c.client);
    c.movieProgress->setObjectName(QStringLiteral("movieProgress"));
    c.movieProgress->setRange(0, 100);
    c.movieProgress->setTextVisible(false);
    c.movieProgress->installEventFilter(filter);
    c.progressMarks = new ProgressMarks(c.movieProgress);

    c.timeElapsed = new QLabel(c.client);
    c.timeElapsed->setObjectName(QStringLiteral("timeElapsed"));
    c.timeElapsed->setAlignment(Qt::AlignCenter);

    c.quickPath = new QGroupBox(c.client);
    c.quickPath->setObjectName(QStringLiteral("quickPath"));
    c.quickSnapshotFolder = new QLineEdit(c.quickPath);
    c.quickSnapshotFolder->setObjectName(QStringLiteral("quickSnapshotFolder"));
    // Read-only rather than disabled: a screen reader reads it and Tab reaches it.
    c.quickSnapshotFolder->setReadOnly(true);
    c.quickSnapshotFolder->setFocusPolicy(Qt::StrongFocus);
    c.browseCommand = new QPushButton(c.quickPath);
    c.browseCommand->setObjectName(QStringLiteral("browseCommand"));
    c.browseCommand->setFocusPolicy(Qt::TabFocus);

    c.toolTips = new QLabel(c.client);
    c.toolTips->setObjectName(QStringLiteral("toolTips"));
    c.toolTips->setAutoFillBackground(true);
    c.toolTips->setStyleSheet(QStringLiteral("#toolTips { background: white; color: black; }"));
    c.toolTips->setContentsMargins(6, 0, 6, 0);
    QFont stripFont = c.toolTips->font();
    stripFont.setPointSize(12);
    c.toolTips->setFont(stripFont);

    c.folderBrowse1 = new FolderBrowse(platform, c.client);
    c.folderBrowse1->setObjectName(QStringLiteral("FolderBrowse1"));
    c.folderBrowse1->hide();

    c.movieTimer = new QTimer(&window);
    c.movieTimer->setObjectName(QStringLiteral("movieTimer"));
    c.movieTimer->setInterval(10);
    c.snapshotsTimer = new QTimer(&window);
    c.snapshotsTimer->setObjectName(QStringLiteral("snapshotsTimer"));
    c.snapshotsTimer->setInterval(1000);
    c.toolTipTimer = new QTimer(&window);
    c.toolTipTimer->setObjectName(QStringLiteral("toolTipTimer"));
    c.toolTipTimer->setInterval(3000);

    // Tab goes as one reads the window: row by row, each from left to right.
    QWidget* const order[] = {c.playButton,       c.snapshotButton,
                              c.pauseButton,      c.continuousSnapshotsButton,
                              c.stopButton,       c.timedSnapshotsButton,
                              c.rewindButton,     c.command1,
                              c.ffButton,         c.command2,
                              c.muteStatus,       c.volumeSlider,
                              c.fullScreenButton, c.quickSnapshotFolder,
                              c.browseCommand};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void MainControls::buildMenus(MainControls& c, QMainWindow& window) {
    const auto menu = [&window](QMenu*& m, const char* name) {
        m = window.menuBar()->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
    };
    const auto item = [&window](QMenu* m, QAction*& a, const char* name, QKeySequence shortcut) {
        a = m->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(shortcut);
        // Shortcuts must work while the menu is closed, so the window owns them too.
        window.addAction(a);
    };
    menu(c.fileMenu, "fileMenu");
    item(c.fileMenu, c.openMenu, "openMenu", QKeySequence(Qt::CTRL | Qt::Key_O));
    item(c.fileMenu, c.openSnapshotFolderMenu, "openSnapshotFolderMenu", {});
    item(c.fileMenu, c.exportFramesMenu, "exportFramesMenu", QKeySequence(Qt::CTRL | Qt::Key_E));
    QAction* separator1 = c.fileMenu->addSeparator();
    separator1->setObjectName(QStringLiteral("separator1"));
    separator1->setVisible(false);
    item(c.fileMenu, c.exitCommand, "exitCommand", {});
    menu(c.editMenu, "editMenu");
    item(c.editMenu, c.snapshotCommand, "snapshotCommand", QKeySequence(Qt::CTRL | Qt::Key_F1));
    item(c.editMenu, c.continuousSnapshots, "continuousSnapshots",
         QKeySequence(Qt::CTRL | Qt::Key_F2));
    item(c.editMenu, c.timedSnapshots, "timedSnapshots", QKeySequence(Qt::CTRL | Qt::Key_F3));
    c.editMenu->addSeparator()->setObjectName(QStringLiteral("separator2"));
    item(c.editMenu, c.fullScreenMenu, "fullScreenMenu", QKeySequence(Qt::CTRL | Qt::Key_F4));
    c.editMenu->addSeparator()->setObjectName(QStringLiteral("separator4"));
    item(c.editMenu, c.nextFrameMenu, "nextFrameMenu", QKeySequence(Qt::Key_Period));
    item(c.editMenu, c.previousFrameMenu, "previousFrameMenu", QKeySequence(Qt::Key_Comma));
    item(c.editMenu, c.copyFrameMenu, "copyFrameMenu", QKeySequence(Qt::CTRL | Qt::Key_C));
    c.editMenu->addSeparator()->setObjectName(QStringLiteral("separator5"));
    item(c.editMenu, c.markInMenu, "markInMenu", QKeySequence(Qt::Key_BracketLeft));
    item(c.editMenu, c.markOutMenu, "markOutMenu", QKeySequence(Qt::Key_BracketRight));
    // The track items are made each time the menu opens (TrackMenus).
    menu(c.subtitlesMenu, "subtitlesMenu");
    item(c.subtitlesMenu, c.subtitlesOff, "subtitlesOff", {});
    c.subtitlesOff->setCheckable(true);
    c.subtitlesMenu->addSeparator()->setObjectName(QStringLiteral("separator6"));
    item(c.subtitlesMenu, c.addSubtitleFileMenu, "addSubtitleFileMenu", {});
    menu(c.audioMenu, "audioMenu");
    QMenu* toolsMenu = nullptr;
    QMenu* helpMenu = nullptr;
    menu(toolsMenu, "toolsMenu");
    item(toolsMenu, c.optionsMenuCommand, "optionsMenuCommand", {});
    menu(helpMenu, "helpMenu");
    item(helpMenu, c.howToUseMenu, "howToUseMenu", {});
    item(helpMenu, c.checkUpdates, "checkUpdates", {});
    c.checkUpdates->setVisible(false);
    helpMenu->addSeparator()->setObjectName(QStringLiteral("separator3"));
    item(helpMenu, c.aboutMenu, "aboutMenu", {});
}
