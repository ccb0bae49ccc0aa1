#include "capture/TimedSnapshotsDialog.h"

#include "capture/IntervalText.h"
#include "localisation/TextLookup.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TimedSnapshotsDialog::TimedSnapshotsDialog(Settings& settings, const TextLookup& text,
                                           Platform& platform, const QString& okCaption,
                                           const QString& cancelCaption, QWidget* parent)
    : QDialog(parent), settings_(settings), text_(text), platform_(platform) {
    setObjectName(QStringLiteral("TimedSnapshotsDialog"));
    const float tpp = dialogTwipsPerPixel(*this);
    setFixedSize(twipsToPixels(QRectF(0, 0, 6030, 1470), tpp).size());
    setWindowTitle(
        text_.SetCaptionfromINI(QStringLiteral("90"), QStringLiteral("Timed Snapshots")));

    // Created in tab order: the interval field first, so that it has the focus.
    milliseconds_ = placeControl<QLineEdit>(this, "milliseconds", {2040, 195, 975, 285}, tpp);
    milliseconds_->setText(QString::number(settings_.timedInterval));
    milliseconds_->selectAll();
    OKButton_ = placeControl<QPushButton>(this, "OKButton", {4680, 120, 1215, 375}, tpp);
    OKButton_->setText(okCaption);
    OKButton_->setDefault(true);
    CancelButton_ = placeControl<QPushButton>(this, "CancelButton", {4680, 600, 1215, 375}, tpp);
    CancelButton_->setText(cancelCaption);
    Check1_ = placeControl<QCheckBox>(this, "Check1", {120, 1080, 5895, 255}, tpp);
    Check1_->setText(text_.SetCaptionfromINI(
        QStringLiteral("92"),
        QStringLiteral("Do not show this again and  use this value as the default.")));
    requestLabel_ = placeControl<QLabel>(this, "requestLabel", {120, 240, 1815, 195}, tpp);
    requestLabel_->setText(
        text_.SetCaptionfromINI(QStringLiteral("91"), QStringLiteral("Capture a snapshot every")));
    millisecondsLabel_ =
        placeControl<QLabel>(this, "millisecondsLabel", {3120, 240, 1485, 195}, tpp);
    millisecondsLabel_->setText(
        text_.SetCaptionfromINI(QStringLiteral("80"), QStringLiteral("milliseconds.")));
    for (QWidget* control : {static_cast<QWidget*>(Check1_), static_cast<QWidget*>(requestLabel_),
                             static_cast<QWidget*>(millisecondsLabel_)})
        fitTextToWidth(*control);
    milliseconds_->setFocus();

    connect(OKButton_, &QPushButton::clicked, this, &TimedSnapshotsDialog::OKButton_Click);
    connect(CancelButton_, &QPushButton::clicked, this, &TimedSnapshotsDialog::CancelButton_Click);
}

void TimedSnapshotsDialog::OKButton_Click() {
    const std::optional<int> interval = timedIntervalFromText(milliseconds_->text());
    if (!interval) {
        // A number out of the range is told the range; anything else, that it must be one.
        const bool positive = leadingNumberValue(milliseconds_->text()) > 0;
        (void)platform_.messageBox(
            this,
            positive ? text_.SetCaptionfromINI(
                           QStringLiteral("014"),
                           QStringLiteral("Please enter a valid numeric time ranging from "
                                          "1000 - 60000."))
                     : text_.SetCaptionfromINI(
                           QStringLiteral("016"),
                           QStringLiteral("Value should be numeric and greater than zero.")),
            text_.SetCaptionfromINI(QStringLiteral("010"), QStringLiteral("Error")),
            MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    Tag = milliseconds_->text();
    interval_ = *interval;
    settings_.skipTimedPrompt = Check1_->isChecked() ? 1 : 0;
    accept();
}

void TimedSnapshotsDialog::CancelButton_Click() {
    reject();
}

// Esc and the close box come here too, so every way out but OK reads as cancelled.
void TimedSnapshotsDialog::reject() {
    Tag = QStringLiteral("1");
    QDialog::reject();
}
