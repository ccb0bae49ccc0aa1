#pragma once

#include "localisation/CaptionApplication.h"
#include "localisation/TextLookup.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <memory>

class AboutForm;
class FolderBrowse;
class MediaEngine;
class OptionsDialog;
class Platform;
class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class QTimer;
class SplashForm;
class TimedSnapshotsDialog;
class VideoSurface;
struct Settings;

// The main window: owns every control, the three timers and the program's shared
// fields, and wires the controls to the engine and to the rules of each subsystem.
class MainForm : public QMainWindow, private CaptionTargets {
    Q_OBJECT
public:
    MainForm(Settings& settings, MediaEngine& engine, Platform& platform,
             QWidget* parent = nullptr);
    ~MainForm() override;

    // The start-up sequence. False when the program must end at once (another instance
    // runs); the window is then not to be shown.
    [[nodiscard]] bool Form_Load();
    // Opens a video given on the command line; false (with a line on stderr) when the
    // path does not exist or is not a supported video type.
    bool openFromCommandLine(const QString& path);
    // A fault of the media engine, shown as every error is: a critical box titled "Error".
    void showEngineError(const QString& message);

    [[nodiscard]] VideoSurface* stage() const { return stage_; }

    // Opening media.
    void openMenu_Click();
    void logoHide_OLEDragDrop(const QStringList& files);
    // Transport.
    void playButton_Click();
    void pauseButton_Click();
    void stopButton_Click();
    void rewindButton_Click();
    void ffButton_Click();
    void Command1_Click();
    void Command2_Click();
    void fullScreenButton_Click();
    void muteStatus_Click();
    void volumeSlider_MouseDown(Qt::MouseButton button);
    void movieProgress_MouseDown(Qt::MouseButton button, float offsetTwips);
    void movieTimer_Timer();
    void EnablePlaybackControls(bool enabled);
    // Capture.
    void snapshotCommand_Click();
    void snapshotButton_Click();
    void continuousSnapshotsButton_Click();
    void timedSnapshotsButton_Click();
    // The Edit menu's two capture items, which act as their buttons.
    void continuousSnapshots_Click() { continuousSnapshotsButton_Click(); }
    void timedSnapshots_Click() { timedSnapshotsButton_Click(); }
    void snapshotsTimer_Timer();
    void browseCommand_Click();
    void BuildEngineOptions();
    void ReloadVideo();
    // Menus and dialogs.
    void optionsMenuCommand_Click();
    void aboutMenu_Click();
    void howToUseMenu_Click();
    void checkUpdates_Click();
    void ApplyLanguageCaptions();
    // Hover texts.
    void ShowToolTip(const QString& key, const QString& defaultText);
    void toolTipTimer_Timer();
    // Places every control for the current client size.
    void Form_Resize();

    // The caption of the mute button, the record of the mute state.
    [[nodiscard]] QString muteCaption() const;
    [[nodiscard]] bool videoOnScreen() const;

    // Shared fields of the program's design.
    QString currentVideo;
    QStringList supportedExtensions;
    QStringList engineOptions;
    bool continuousCapture = false;
    bool timedCapture = false;
    int speedStep = 0;
    int minWidth = 0;  // twips
    int minHeight = 0; // twips
    float progressBottomGap = 0;
    SharedCaptions captions;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void resizeToDesignSize();
    void connectControls();
    void loadVideo(const QString& path, int mode);
    // The engine options a load of path would hand over now.
    [[nodiscard]] QStringList optionsFor(const QString& path) const;
    void setMuteCaption(const QString& caption);
    void endCaptureModes();
    void showSnapshotError(const QString& reason);
    void showPlaybackError(const QString& path);
    void saveConfiguration();
    void ensureOptionsDialog();
    void ensureAboutForm();
    [[nodiscard]] bool askReload();
    void setCaption(CaptionWindow window, const QString& objectName, const QString& text) override;
    [[nodiscard]] QString text(const char* key, const char* defaultText) const;

    Settings& settings_;
    MediaEngine& engine_;
    Platform& platform_;
    TextLookup lookup_;
    QString configPath_;
    std::unique_ptr<SplashForm> splash_;
    bool showingSnapshotError_ = false;
    bool closed_ = false;
    // The per-video folder the engine was given with the current item. It stays the
    // engine's folder until the next load, even when the settings name another one.
    // Empty when the snapshot folder was not a full path.
    QString loadedSnapshotFolder_;
    QStringList loadedOptions_;

    // Controls, named as in the program's design.
    QWidget* client_ = nullptr;
    VideoSurface* stage_ = nullptr;
    QFrame* logoHide = nullptr;
    QPushButton* playButton = nullptr;
    QPushButton* pauseButton = nullptr;
    QPushButton* stopButton = nullptr;
    QPushButton* rewindButton = nullptr;
    QPushButton* ffButton = nullptr;
    QPushButton* snapshotButton = nullptr;
    QPushButton* continuousSnapshotsButton = nullptr;
    QPushButton* timedSnapshotsButton = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* muteStatus = nullptr;
    QPushButton* fullScreenButton = nullptr;
    QSlider* volumeSlider = nullptr;
    QProgressBar* movieProgress = nullptr;
    QLabel* timeElapsed = nullptr;
    QGroupBox* quickPath = nullptr;
    QLineEdit* quickSnapshotFolder = nullptr;
    QPushButton* browseCommand = nullptr;
    QLabel* toolTips = nullptr;
    FolderBrowse* FolderBrowse1 = nullptr;
    QTimer* movieTimer = nullptr;
    QTimer* snapshotsTimer = nullptr;
    QTimer* toolTipTimer = nullptr;

    QMenu* fileMenu = nullptr;
    QAction* openMenu = nullptr;
    QAction* separator1 = nullptr;
    QAction* exitCommand = nullptr;
    QMenu* editMenu = nullptr;
    QAction* snapshotCommand = nullptr;
    QAction* continuousSnapshots = nullptr;
    QAction* timedSnapshots = nullptr;
    QAction* fullScreenMenu = nullptr;
    QMenu* toolsMenu = nullptr;
    QAction* optionsMenuCommand = nullptr;
    QMenu* helpMenu = nullptr;
    QAction* howToUseMenu = nullptr;
    QAction* checkUpdates = nullptr;
    QAction* aboutMenu = nullptr;

    QPointer<OptionsDialog> optionsDialog_;
    QPointer<AboutForm> aboutForm_;
};
