#pragma once

#include "capture/ExportSelection.h"

#include <QObject>

#include <optional>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;
class TextLookup;

class QWidget;

// The rows of the Export Frames dialog that say which frames: every frame, one every N
// seconds, N spread evenly, one per scene, or a contact sheet; each with its own settings,
// shown only when its choice is. They go into the dialog's own form, so that their labels
// line up with the others.
class ExportChoiceForm : public QObject {
    Q_OBJECT
public:
    // Adds the rows to form; their widgets belong to dialog.
    ExportChoiceForm(const ExportChoice& choice, const TextLookup& text, QFormLayout* form,
                     QWidget* dialog);

    // What the form says; empty, with why in problem, where it says no sense (an interval
    // of no number of seconds in the range).
    [[nodiscard]] std::optional<ExportChoice> choice(QString* problem) const;
    void setEnabled(bool enabled);

private:
    void showSettings();

    const TextLookup& text_;
    QFormLayout* form_;
    QComboBox* mode_;
    QLineEdit* interval_;
    QSpinBox* count_;
    QSpinBox* sensitivity_;
    QSpinBox* columns_;
    QSpinBox* rows_;
    QSpinBox* thumbnailWidth_;
    QComboBox* sheetPick_;
};
