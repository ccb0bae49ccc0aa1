#pragma once

#include "capture/ExportSelection.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;
class TextLookup;

// The part of the Export Frames dialog that says which frames: every frame, one every N
// seconds, N spread evenly, one per scene, or a contact sheet; each with its own settings,
// shown only when its choice is.
class ExportChoiceForm : public QWidget {
    Q_OBJECT
public:
    ExportChoiceForm(const ExportChoice& choice, const TextLookup& text, QWidget* parent = nullptr);

    // What the form says; empty, with why in problem, where it says no sense (an interval
    // of no number of seconds in the range).
    [[nodiscard]] std::optional<ExportChoice> choice(QString* problem) const;

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
