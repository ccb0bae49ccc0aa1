#include "capture/ExportChoiceForm.h"

#include "localisation/TextLookup.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>

namespace {
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QSpinBox* spinBox(QWidget* parent, const char* name, int low, int high, int value) {
    auto* box = named(new QSpinBox(parent), name);
    box->setRange(low, high);
    box->setValue(value);
    return box;
}

// "2.5" and, in a language that writes it so, "2,5".
std::optional<double> secondsOf(const QString& text) {
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (ok)
        return value;
    const double c = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(c) : std::nullopt;
}
} // namespace

ExportChoiceForm::ExportChoiceForm(const ExportChoice& choice, const TextLookup& text,
                                   QFormLayout* form, QWidget* dialog)
    : QObject(dialog), text_(text), form_(form) {
    mode_ = named(new QComboBox(dialog), "exportMode");
    // In the order of ExportMode.
    mode_->addItems({text_.text("55", "Every frame"), text_.text("56", "One frame every N seconds"),
                     text_.text("57", "Frames spread evenly"),
                     text_.text("58", "One frame per scene"), text_.text("59", "Contact sheet")});
    mode_->setCurrentIndex(int(choice.mode));
    interval_ =
        named(new QLineEdit(QLocale().toString(choice.intervalSeconds), dialog), "intervalSeconds");
    count_ = spinBox(dialog, "frameCount", 1, 100000, choice.count);
    sensitivity_ = spinBox(dialog, "sceneSensitivity", 1, 100, choice.sensitivity);
    columns_ = spinBox(dialog, "sheetColumns", 1, 20, choice.columns);
    rows_ = spinBox(dialog, "sheetRows", 1, 50, choice.rows);
    thumbnailWidth_ = spinBox(dialog, "thumbnailWidth", 64, 3840, choice.thumbnailWidth);
    sheetPick_ = named(new QComboBox(dialog), "sheetPick");
    sheetPick_->addItems({text_.text("67", "Spread evenly"), text_.text("68", "One per scene")});
    sheetPick_->setCurrentIndex(choice.sheetPerScene ? 1 : 0);

    form_->addRow(text_.text("54", "Which frames:"), mode_);
    form_->addRow(text_.text("60", "Seconds between frames:"), interval_);
    form_->addRow(text_.text("61", "Number of frames:"), count_);
    form_->addRow(text_.text("66", "Thumbnails:"), sheetPick_);
    form_->addRow(text_.text("62", "Scene sensitivity (1-100):"), sensitivity_);
    form_->addRow(text_.text("63", "Columns:"), columns_);
    form_->addRow(text_.text("64", "Rows:"), rows_);
    form_->addRow(text_.text("65", "Thumbnail width (pixels):"), thumbnailWidth_);
    connect(mode_, &QComboBox::currentIndexChanged, this, &ExportChoiceForm::showSettings);
    connect(sheetPick_, &QComboBox::currentIndexChanged, this, &ExportChoiceForm::showSettings);
    showSettings();
}

void ExportChoiceForm::showSettings() {
    const auto mode = ExportMode(mode_->currentIndex());
    const bool sheet = mode == ExportMode::ContactSheet;
    form_->setRowVisible(interval_, mode == ExportMode::Interval);
    form_->setRowVisible(count_, mode == ExportMode::Evenly);
    form_->setRowVisible(sheetPick_, sheet);
    form_->setRowVisible(sensitivity_, mode == ExportMode::PerScene ||
                                           (sheet && sheetPick_->currentIndex() == 1));
    for (QWidget* setting : {static_cast<QWidget*>(columns_), static_cast<QWidget*>(rows_),
                             static_cast<QWidget*>(thumbnailWidth_)})
        form_->setRowVisible(setting, sheet);
    // The dialog grows and shrinks with its rows, so that nothing below them is cut off.
    mode_->window()->adjustSize();
}

std::optional<ExportChoice> ExportChoiceForm::choice(QString* problem) const {
    ExportChoice choice;
    choice.mode = ExportMode(mode_->currentIndex());
    const std::optional<double> seconds = secondsOf(interval_->text());
    if (choice.mode == ExportMode::Interval && (!seconds || !exportIntervalMs(*seconds))) {
        if (problem)
            *problem = text_.text("051", "Please enter the seconds between frames as a number "
                                         "from 0.1 to 3600.");
        return std::nullopt;
    }
    choice.intervalSeconds = seconds && exportIntervalMs(*seconds) ? *seconds : 10;
    choice.count = count_->value();
    choice.sensitivity = sensitivity_->value();
    choice.columns = columns_->value();
    choice.rows = rows_->value();
    choice.thumbnailWidth = thumbnailWidth_->value();
    choice.sheetPerScene = sheetPick_->currentIndex() == 1;
    return choice;
}

void ExportChoiceForm::setEnabled(bool enabled) {
    for (QWidget* input : std::initializer_list<QWidget*>{
             mode_, interval_, count_, sensitivity_, columns_, rows_, thumbnailWidth_, sheetPick_})
        input->setEnabled(enabled);
}
