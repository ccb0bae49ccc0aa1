#pragma once

#include "capture/ExportRange.h"
#include "capture/FrameExport.h"

#include <QDialog>

class ExportChoiceForm;
class Platform;
class QCheckBox;
class QLabel;
class QComboBox;
class QProgressBar;
class QPushButton;
class QTimeEdit;
class TextLookup;

// Exports frames of a stretch of the video: the range (the marks, editable), which frames
// (every one, one every N seconds, N spread evenly, one per scene, or a contact sheet),
// the format, then a progress bar with the frames written and the time left. Cancel (also Esc
// and the close box) stops a running export and closes; a finished export leaves the
// dialog open for another range. Problems are reported in a message box with the number
// of frames written.
class ExportFramesDialog : public QDialog {
    Q_OBJECT
public:
    // job: the video, folder, prefix and format to start from; its range is replaced by
    // the one chosen here. lengthMs: the video's length, the range's limit (0: unknown).
    // deepVideo: the video has more than 8 bits, which a 16-bit PNG can keep (its HDR too).
    ExportFramesDialog(const ExportJob& job, ExportRange range, qint64 lengthMs, bool deepVideo,
                       const TextLookup& text, Platform& platform, QWidget* parent = nullptr);

    void exportButton_Click();
    void reject() override;
    [[nodiscard]] bool isExporting() const { return export_.isRunning(); }
    // Which frames the dialog says now (what it was opened with where that makes no sense).
    [[nodiscard]] ExportChoice choice() const;

private:
    void showProgress(int written, int total, qint64 msLeft);
    void showAnalysing(int frames, int total);
    void exportFinished(int written, const QString& problem, bool cancelled);
    void setInputsEnabled(bool enabled);

    ExportJob job_;
    qint64 lengthMs_;
    const TextLookup& text_;
    Platform& platform_;
    FrameExport export_;
    QTimeEdit* fromTime_;
    QTimeEdit* toTime_;
    ExportChoiceForm* choiceForm_;
    QComboBox* imageFormat_;
    QCheckBox* keepHdr_;
    QProgressBar* exportProgress_;
    QLabel* framesWritten_;
    QLabel* timeLeft_;
    QPushButton* exportButton_;
    QPushButton* cancelButton_;
    QPushButton* openFolderButton_;
    QLabel* writtenTo_;
};
