#include "capture/ExportFramesDialog.h"

#include "capture/ExportChoiceForm.h"
#include "capture/SheetLayout.h"
#include "localisation/TextLookup.h"
#include "platform/Platform.h"
#include "playback/FormatTime.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {
// QTimeEdit stops at the end of a day; longer videos are exported up to there.
constexpr qint64 kLongestEditableMs = 24LL * 3600 * 1000 - 1;

QTime timeOf(qint64 ms) {
    return QTime::fromMSecsSinceStartOfDay(int(std::clamp<qint64>(ms, 0, kLongestEditableMs)));
}
} // namespace

ExportFramesDialog::ExportFramesDialog(const ExportJob& job, ExportRange range, qint64 lengthMs,
                                       bool deepVideo, const TextLookup& text, Platform& platform,
                                       QWidget* parent)
    : QDialog(parent), job_(job), lengthMs_(lengthMs), text_(text), platform_(platform) {
    setObjectName(QStringLiteral("ExportFramesDialog"));
    setWindowTitle(text_.text("94", "Export Frames"));
    const auto named = [](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    const auto timeEdit = [&](const char* name, qint64 ms) {
        auto* edit = named(new QTimeEdit(timeOf(ms), this), name);
        edit->setDisplayFormat(QStringLiteral("H:mm:ss.zzz"));
        edit->setMaximumTime(timeOf(lengthMs > 0 ? lengthMs : kLongestEditableMs));
        return edit;
    };
    fromTime_ = timeEdit("fromTime", range.fromMs);
    toTime_ = timeEdit("toTime", range.toMs);
    // In the order of the Options dialog's list: PNG first.
    imageFormat_ = named(new QComboBox(this), "imageFormat");
    imageFormat_->addItems({QStringLiteral("PNG"), QStringLiteral("JPG")});
    imageFormat_->setCurrentIndex(job.jpeg ? 1 : 0);
    // Offered only where there is more to keep than 8 bits; the default stays the picture
    // the screen shows.
    keepHdr_ = named(new QCheckBox(text_.text("93", "16-bit PNG keeping the video's HDR"), this),
                     "keepHdr");
    keepHdr_->setVisible(deepVideo);
    keepHdr_->setEnabled(!job.jpeg);
    connect(imageFormat_, &QComboBox::currentIndexChanged, keepHdr_,
            [this](int index) { keepHdr_->setEnabled(index == 0 && exportButton_->isEnabled()); });
    exportProgress_ = named(new QProgressBar(this), "exportProgress");
    exportProgress_->setValue(0);
    framesWritten_ = named(new QLabel(this), "framesWritten");
    timeLeft_ = named(new QLabel(this), "timeLeft");
    // Exports are decoded by the program itself, not by the player that draws subtitles.
    auto* noSubtitles =
        named(new QLabel(text_.text("89", "Exported frames have no subtitles: they are the video's "
                                          "own pictures."),
                         this),
              "noSubtitles");
    noSubtitles->setWordWrap(true);
    // Where a finished export went, with a way there.
    writtenTo_ = named(new QLabel(this), "writtenTo");
    writtenTo_->setWordWrap(true);
    writtenTo_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    writtenTo_->hide();

    auto* form = new QFormLayout;
    form->addRow(text_.text("95", "From:"), fromTime_);
    form->addRow(text_.text("96", "To:"), toTime_);
    choiceForm_ = new ExportChoiceForm(job.choice, text_, form, this);
    form->addRow(text_.text("74", "Image Format:"), imageFormat_);
    form->addRow(keepHdr_);
    form->addRow(exportProgress_);
    form->addRow(text_.text("98", "Frames written:"), framesWritten_);
    form->addRow(text_.text("99", "Time left:"), timeLeft_);
    form->addRow(noSubtitles);
    form->addRow(writtenTo_);

    auto* buttons = new QDialogButtonBox(this);
    exportButton_ =
        named(buttons->addButton(text_.text("97", "&Export"), QDialogButtonBox::AcceptRole),
              "exportButton");
    exportButton_->setDefault(true);
    cancelButton_ =
        named(buttons->addButton(text_.text("04", "&Cancel"), QDialogButtonBox::RejectRole),
              "cancelButton");
    openFolderButton_ =
        named(buttons->addButton(text_.text("047", "Open &Folder"), QDialogButtonBox::ActionRole),
              "openFolderButton");
    openFolderButton_->hide();
    connect(openFolderButton_, &QPushButton::clicked, this, [this] {
        if (!platform_.openDocument(job_.folder))
            (void)platform_.messageBox(
                this,
                text_.text("037", "Can't open the snapshot folder.") + QLatin1Char('\n') +
                    QDir::toNativeSeparators(job_.folder),
                text_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    connect(exportButton_, &QPushButton::clicked, this, &ExportFramesDialog::exportButton_Click);
    connect(cancelButton_, &QPushButton::clicked, this, &ExportFramesDialog::reject);
    connect(&export_, &FrameExport::progress, this, &ExportFramesDialog::showProgress);
    connect(&export_, &FrameExport::analysing, this, &ExportFramesDialog::showAnalysing);
    connect(&export_, &FrameExport::finished, this, &ExportFramesDialog::exportFinished);
}

void ExportFramesDialog::exportButton_Click() {
    if (export_.isRunning())
        return;
    QString problem;
    const std::optional<ExportChoice> choice = choiceForm_->choice(&problem);
    const bool jpeg = imageFormat_->currentIndex() == 1;
    // A sheet too large for its format is refused before any work.
    if (choice && choice->mode == ExportMode::ContactSheet)
        problem = sheetSizeProblem(
            sheetLayoutFor(job_.shown, choice->columns, choice->rows, choice->thumbnailWidth),
            jpeg);
    if (!choice || !problem.isEmpty()) {
        (void)platform_.messageBox(this, problem, text_.text("010", "Error"), MessageIcon::Critical,
                                   MessageButtons::Ok);
        return;
    }
    job_.choice = *choice;
    const ExportRange range = exportRangeFor(fromTime_->time().msecsSinceStartOfDay(),
                                             toTime_->time().msecsSinceStartOfDay(), lengthMs_);
    // The times show what is exported: the right way round, within the video.
    fromTime_->setTime(timeOf(range.fromMs));
    toTime_->setTime(timeOf(range.toMs));
    job_.fromMs = range.fromMs;
    job_.toMs = range.toMs;
    job_.jpeg = jpeg;
    job_.keepSignal = !job_.jpeg && !keepHdr_->isHidden() && keepHdr_->isChecked();
    setInputsEnabled(false);
    exportProgress_->setRange(0, 0); // busy until the number of frames is known
    framesWritten_->setText(QStringLiteral("0"));
    timeLeft_->clear();
    export_.start(job_);
}

ExportChoice ExportFramesDialog::choice() const {
    return choiceForm_->choice(nullptr).value_or(job_.choice);
}

void ExportFramesDialog::setInputsEnabled(bool enabled) {
    for (QWidget* input :
         std::initializer_list<QWidget*>{fromTime_, toTime_, imageFormat_, exportButton_})
        input->setEnabled(enabled);
    choiceForm_->setEnabled(enabled);
    keepHdr_->setEnabled(enabled && imageFormat_->currentIndex() == 0);
}

void ExportFramesDialog::showProgress(int written, int total, qint64 msLeft) {
    if (total > 0) {
        exportProgress_->setRange(0, total);
        exportProgress_->setValue(std::min(written, total));
        framesWritten_->setText(QStringLiteral("%1 / %2").arg(written).arg(total));
    } else {
        framesWritten_->setText(QString::number(written));
    }
    if (msLeft >= 0)
        timeLeft_->setText(FormatTime((msLeft + 999) / 1000));
}

void ExportFramesDialog::showAnalysing(int frames, int total) {
    exportProgress_->setRange(0, std::max(1, total));
    exportProgress_->setValue(std::min(frames, total));
    framesWritten_->setText(text_.text("69", "Looking for scenes: %1")
                                .arg(QStringLiteral("%1 / %2").arg(frames).arg(total)));
}

void ExportFramesDialog::exportFinished(int written, const QString& problem, bool cancelled) {
    setInputsEnabled(true);
    if (cancelled)
        return;
    cancelButton_->setText(text_.text("05", "&Close"));
    if (problem.isEmpty()) {
        // The count at the start was the range's; the video may have ended before it.
        exportProgress_->setRange(0, std::max(1, written));
        exportProgress_->setValue(written);
        framesWritten_->setText(QString::number(written));
        timeLeft_->setText(FormatTime(0));
        writtenTo_->setText(
            text_.text("046", "The frames are in %1").arg(QDir::toNativeSeparators(job_.folder)));
        writtenTo_->show();
        openFolderButton_->show();
        adjustSize();
        return;
    }
    if (exportProgress_->maximum() == 0)
        exportProgress_->setRange(0, 1); // the busy bar stops
    (void)platform_.messageBox(
        this,
        text_.text("038", "The export stopped after %1 frames.").arg(written) +
            QStringLiteral("\n\n") + problem,
        text_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
}

// Cancel, Esc and the close box: a running export stops first, leaving only whole files.
void ExportFramesDialog::reject() {
    export_.cancel();
    QDialog::reject();
}
