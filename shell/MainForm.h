#pragma once

#include "capture/ExportSelection.h"
#include "localisation/CaptionApplication.h"
#include "localisation/TextLookup.h"
#include "localisation/UiTranslation.h"
#include "settings/SettingsLocation.h"
#include "shell/MainControls.h"
#include "shell/PlayerController.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class AboutForm;
class CaptureService;
class MediaEngine;
class MediaService;
class OptionsDialog;
class Platform;
class SplashForm;
class VideoSurface;
struct Settings;

// The main window: owns every control, the menus and the three timers, binds them to the
// player controller (which holds the player's state and rules) and shows its messages and
// dialogs. Its controls' objectNames are the names of the program's design.
class MainForm : public QMainWindow, private CaptionTargets {
    Q_OBJECT
public:
    // location: where Config.cfg and errorlog.txt live (see SettingsLocation).
    MainForm(Settings& settings, MediaEngine& engine, CaptureService& capture, MediaService& media,
             Platform& platform, SettingsLocation location, QWidget* parent = nullptr);
    ~MainForm() override;

    // The start-up sequence; the splash (when given) is closed at its end, before the
    // configuration's recovery message.
    void Form_Load(SplashForm* splash = nullptr);
    // Opens a video given on the command line or by a file manager; false when it cannot
    // be opened (see refuseOpening).
    bool openFromCommandLine(const QString& path);
    // Shown, not minimised, in front of the desktop's other windows.
    void comeToFront();
    // Says why path cannot be opened: a line on standard error and a message box.
    void refuseOpening(const QString& path, const QString& reason);
    // A fault of the media engine, shown as every error is: a critical box titled "Error".
    void showEngineError(const QString& message);

    [[nodiscard]] PlayerController& player() { return player_; }
    [[nodiscard]] VideoSurface* stage() const { return ui_.stage; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opening media.
    enum class OpenedBy { Menu, Drop, CommandLine };
    void openMenu_Click();
    // Files dropped anywhere on the window: the first is opened.
    void dropped(const QStringList& files);
    [[nodiscard]] bool openFile(const QString& path, OpenedBy by);
    // A subtitle file for the video: chosen in a file dialog, or dropped.
    void addSubtitleFile_Click();
    void addSubtitleFile(const QString& path);
    // Transport.
    void playButton_Click();
    void pauseButton_Click();
    void stopButton_Click();
    void Command1_Click();
    void Command2_Click();
    void fullScreenButton_Click();
    void muteStatus_Click();
    void volumeSlider_MouseDown(Qt::MouseButton button);
    void movieProgress_MouseDown(Qt::MouseButton button, float offsetTwips);
    void movieTimer_Timer();
    // The frame on screen, at the video's own size, to the clipboard.
    void copyFrame_Click();
    // The current video's snapshot folder (made if need be), or the snapshot folder.
    void openSnapshotFolder_Click();
    // Every frame of the marked stretch (or of the whole video) to image files; playback
    // pauses meanwhile.
    void exportFrames_Click();
    // Capture.
    void snapshotCommand_Click();
    void timedSnapshotsButton_Click();
    void browseCommand_Click();
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

    void resizeToDesignSize();
    void connectControls();
    // Shows the controller's view: every control's state, the cover, times, marks, timers.
    void showView();
    void loadVideo(const QString& path);
    void setMuteGlyph(bool muted);
    // Space, the arrows, M and F in window (the main or the full-screen window).
    void installPlayerKeys(QWidget& window);
    // While many images wait to be written (or the window waits for them to close), how
    // many are left and how many frames were skipped, in the hover strip.
    void showCaptureStatus();
    void showSnapshotProblem(SnapshotProblem problem);
    // A single snapshot written: its name in the hover strip for a moment (a capture run
    // writes too many to name).
    void showWritten(const QString& path);
    void showSnapshotError(const QString& reason);
    void showPlaybackError(const QString& path);
    void saveConfiguration();
    void ensureOptionsDialog();
    void ensureAboutForm();
    void setCaption(CaptionWindow window, const QString& objectName, const QString& text) override;

    Settings& settings_;
    MediaEngine& engine_;
    CaptureService& capture_;
    Platform& platform_;
    SettingsLocation location_;
    TextLookup lookup_;
    UiTranslation translation_{lookup_};
    QString configPath_;
    SharedCaptions captions_;
    PlayerController player_;

    QStringList supportedExtensions_;
    ExportChoice exportChoice_;
    int minWidth_ = 0;  // twips
    int minHeight_ = 0; // twips
    float progressBottomGap_ = 0;
    bool showingSnapshotError_ = false;
    bool closed_ = false;
    // A close request is waiting for the images still to be written.
    bool closing_ = false;
    QStringList statusTexts_; // the pack's texts of showCaptureStatus while it shows

    // Controls; their objectNames are the names of the program's design.
    MainControls ui_;

    QPointer<OptionsDialog> optionsDialog_;
    QPointer<AboutForm> aboutForm_;
};
