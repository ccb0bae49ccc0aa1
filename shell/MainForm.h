#pragma once

#include "capture/CaptureModes.h"
#include "capture/EngineOptions.h"
#include "localisation/CaptionApplication.h"
#include "localisation/TextLookup.h"
#include "playback/MediaEngine.h"
#include "settings/SettingsLocation.h"

#include <QDeadlineTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class AboutForm;
class CaptureService;
class FolderBrowse;
class MediaEngine;
class OptionsDialog;
class Platform;
class ProgressMarks;
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
class VideoSurface;
struct Settings;

// The main window: owns every control and the three timers, and wires the controls to
// the engine, the capture service and the rules of each subsystem.
class MainForm : public QMainWindow, private CaptionTargets {
    Q_OBJECT
public:
    // location: where Config.cfg and errorlog.txt live (see SettingsLocation).
    MainForm(Settings& settings, MediaEngine& engine, CaptureService& capture, Platform& platform,
             SettingsLocation location, QWidget* parent = nullptr);
    ~MainForm() override;

    // The start-up sequence; the splash (when given) is closed at its end, before the
    // configuration's recovery message.
    void Form_Load(SplashForm* splash = nullptr);
    // Opens a video given on the command line or by a file manager; false when it cannot
    // be opened (see refuseOpening).
    bool openFromCommandLine(const QString& path);
    // Says why path cannot be opened: a line on standard error and a message box.
    void refuseOpening(const QString& path, const QString& reason);
    // A fault of the media engine, shown as every error is: a critical box titled "Error".
    void showEngineError(const QString& message);

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
    // One frame on or back, exactly; a playing video pauses first.
    void nextFrame_Click();
    void previousFrame_Click();
    // The frame on screen, at the video's own size, to the clipboard.
    void copyFrame_Click();
    // The current video's snapshot folder (made if need be), or the snapshot folder.
    void openSnapshotFolder_Click();
    // The start and the end of the stretch Export Frames offers, at the frame on screen.
    void markIn_Click();
    void markOut_Click();
    // Every frame of the marked stretch (or of the whole video) to image files; playback
    // pauses meanwhile.
    void exportFrames_Click();
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

    // The program's shared fields, read-only from outside.
    [[nodiscard]] const QString& currentVideo() const { return currentVideo_; }
    [[nodiscard]] const EngineOptions& engineOptions() const { return engineOptions_; }
    [[nodiscard]] const CaptureModes& captureModes() const { return modes_; }
    [[nodiscard]] int speedStep() const { return speedStep_; }
    // In milliseconds, negative when not set.
    [[nodiscard]] qint64 markIn() const { return markIn_.ms; }
    [[nodiscard]] qint64 markOut() const { return markOut_.ms; }
    [[nodiscard]] VideoSurface* stage() const { return stage_; }
    // The caption of the mute button, the record of the mute state.
    [[nodiscard]] QString muteCaption() const;
    [[nodiscard]] bool videoOnScreen() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void resizeToDesignSize();
    void connectControls();
    void loadVideo(const QString& path, LoadMode mode);
    [[nodiscard]] bool refusedAsNotAFile(const QString& path);
    // The engine options a load of path would hand over now.
    [[nodiscard]] EngineOptions optionsFor(const QString& path) const;
    // Every control's enabled state, from the playback state and the capture modes.
    void applyControlStates();
    void applyTimedTimer();
    // The progress bar and the time label for the engine's position now.
    void showPosition();
    [[nodiscard]] bool pauseForStep();
    void setMuteCaption(const QString& caption);
    // Space, the arrows, M and F in window (the main or the full-screen window).
    void installPlayerKeys(QWidget* window);
    void stepVolume(int step);
    // What a screen reader says of each control, from the same pack texts as the hover
    // strip; the progress bar's description is the time shown (showPosition).
    void applyAccessibleTexts();
    void applyMuteAccessibleName();
    // While many images wait to be written (or the window waits for them to close), how
    // many are left and how many frames were skipped, in the hover strip.
    void showCaptureStatus();
    // A mark is the time of a frame on screen; the frame's serial lets the time follow when
    // the engine has found exactly which frame a paused picture is.
    struct FrameMark {
        qint64 ms = -1;
        quint64 serial = 0;
    };
    void setMark(FrameMark& mark);
    void refineMarks(const VideoFrame& frame);
    void showMarks();
    void endCaptureModes();
    void showSnapshotError(const QString& reason);
    void showPlaybackError(const QString& path);
    void saveConfiguration();
    void ensureOptionsDialog();
    void ensureAboutForm();
    [[nodiscard]] bool askReload();
    void setCaption(CaptionWindow window, const QString& objectName, const QString& text) override;

    Settings& settings_;
    MediaEngine& engine_;
    CaptureService& capture_;
    Platform& platform_;
    SettingsLocation location_;
    TextLookup lookup_;
    QString configPath_;
    SharedCaptions captions_;

    QString currentVideo_;
    QStringList supportedExtensions_;
    EngineOptions engineOptions_;
    // What the engine and the capture service were given with the current item. They keep
    // it until the next load, even when the settings say otherwise meanwhile.
    EngineOptions loadedOptions_;
    CaptureModes modes_;
    int speedStep_ = 0;
    FrameMark markIn_;
    FrameMark markOut_;
    int minWidth_ = 0;  // twips
    int minHeight_ = 0; // twips
    float progressBottomGap_ = 0;
    // The playback control set is on (EnablePlaybackControls), Play may be used (always,
    // after start-up), Pause was pressed since the last Play.
    bool controlsOn_ = false;
    bool playAllowed_ = false;
    bool pausePressed_ = false;
    bool showingSnapshotError_ = false;
    bool closed_ = false;
    // A close request is waiting for the images still to be written, until closeDeadline_.
    bool closing_ = false;
    QDeadlineTimer closeDeadline_;
    QStringList statusTexts_; // the pack's texts of showCaptureStatus while it shows
    static constexpr int kCloseWaitMs = 30000;

    // Controls; their objectNames are the names of the program's design.
    QWidget* client_ = nullptr;
    VideoSurface* stage_ = nullptr;
    QFrame* logoHide_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* pauseButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* rewindButton_ = nullptr;
    QPushButton* ffButton_ = nullptr;
    QPushButton* snapshotButton_ = nullptr;
    QPushButton* continuousSnapshotsButton_ = nullptr;
    QPushButton* timedSnapshotsButton_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* muteStatus_ = nullptr;
    QPushButton* fullScreenButton_ = nullptr;
    QSlider* volumeSlider_ = nullptr;
    QProgressBar* movieProgress_ = nullptr;
    ProgressMarks* progressMarks_ = nullptr;
    QLabel* timeElapsed_ = nullptr;
    QGroupBox* quickPath_ = nullptr;
    QLineEdit* quickSnapshotFolder_ = nullptr;
    QPushButton* browseCommand_ = nullptr;
    QLabel* toolTips_ = nullptr;
    FolderBrowse* folderBrowse1_ = nullptr;
    QTimer* movieTimer_ = nullptr;
    QTimer* snapshotsTimer_ = nullptr;
    QTimer* toolTipTimer_ = nullptr;

    QMenu* fileMenu_ = nullptr;
    QAction* openMenu_ = nullptr;
    QAction* openSnapshotFolderMenu_ = nullptr;
    QAction* exportFramesMenu_ = nullptr;
    QAction* exitCommand_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QAction* snapshotCommand_ = nullptr;
    QAction* continuousSnapshots_ = nullptr;
    QAction* timedSnapshots_ = nullptr;
    QAction* fullScreenMenu_ = nullptr;
    QAction* nextFrameMenu_ = nullptr;
    QAction* previousFrameMenu_ = nullptr;
    QAction* copyFrameMenu_ = nullptr;
    QAction* markInMenu_ = nullptr;
    QAction* markOutMenu_ = nullptr;
    QAction* optionsMenuCommand_ = nullptr;
    QAction* howToUseMenu_ = nullptr;
    QAction* checkUpdates_ = nullptr;
    QAction* aboutMenu_ = nullptr;

    QPointer<OptionsDialog> optionsDialog_;
    QPointer<AboutForm> aboutForm_;
};
