#pragma once

class FolderBrowse;
class Platform;
class ProgressMarks;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QObject;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;
class QWidget;
class VideoSurface;

// The main window's controls, menus and timers, each with its design name as objectName;
// the window they are built in owns them (Qt's parent tree).
struct MainControls {
    // Builds them in window: the menus in its menu bar with their shortcuts on the window,
    // so that they work while a menu is closed. filter sees the events of the glyph
    // buttons, the volume slider and the progress bar.
    static MainControls build(QMainWindow& window, Platform& platform, QObject* filter);

    QWidget* client = nullptr;
    VideoSurface* stage = nullptr;
    QFrame* logoHide = nullptr;
    QPushButton* playButton = nullptr;
    QPushButton* pauseButton = nullptr;
    QPushButton* stopButton = nullptr;
    QPushButton* rewindButton = nullptr;
    QPushButton* ffButton = nullptr;
    QPushButton* snapshotButton = nullptr;
    QPushButton* continuousSnapshotsButton = nullptr;
    QPushButton* timedSnapshotsButton = nullptr;
    QPushButton* command1 = nullptr;
    QPushButton* command2 = nullptr;
    QPushButton* muteStatus = nullptr;
    QPushButton* fullScreenButton = nullptr;
    QSlider* volumeSlider = nullptr;
    QProgressBar* movieProgress = nullptr;
    ProgressMarks* progressMarks = nullptr;
    QLabel* timeElapsed = nullptr;
    QGroupBox* quickPath = nullptr;
    QLineEdit* quickSnapshotFolder = nullptr;
    QPushButton* browseCommand = nullptr;
    QLabel* toolTips = nullptr;
    FolderBrowse* folderBrowse1 = nullptr;
    QTimer* movieTimer = nullptr;
    QTimer* snapshotsTimer = nullptr;
    QTimer* toolTipTimer = nullptr;

    QMenu* fileMenu = nullptr;
    QAction* openMenu = nullptr;
    QAction* openSnapshotFolderMenu = nullptr;
    QAction* exportFramesMenu = nullptr;
    QAction* exitCommand = nullptr;
    QMenu* editMenu = nullptr;
    QAction* snapshotCommand = nullptr;
    QAction* continuousSnapshots = nullptr;
    QAction* timedSnapshots = nullptr;
    QAction* fullScreenMenu = nullptr;
    QAction* nextFrameMenu = nullptr;
    QAction* previousFrameMenu = nullptr;
    QAction* copyFrameMenu = nullptr;
    QAction* markInMenu = nullptr;
    QAction* markOutMenu = nullptr;
    QMenu* subtitlesMenu = nullptr;
    QAction* subtitlesOff = nullptr;
    QAction* addSubtitleFileMenu = nullptr;
    QMenu* audioMenu = nullptr;
    QAction* optionsMenuCommand = nullptr;
    QAction* howToUseMenu = nullptr;
    QAction* checkUpdates = nullptr;
    QAction* aboutMenu = nullptr;

private:
    static void buildWidgets(MainControls& c, QMainWindow& window, Platform& platform,
                             QObject* filter);
    static void buildMenus(MainControls& c, QMainWindow& window);
};
