#pragma once

#include <QDialog>
#include <QString>

class Platform;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TextLookup;
struct Settings;

// Asks for the timed-snapshot interval. The opener builds a fresh one each time and shows
// it modally; when accepted, interval() is the value in whole milliseconds. Tag keeps the
// result text of the program's design: "1" when cancelled (also by Esc or the close box),
// otherwise the accepted text exactly as typed. Accepting also writes
// Settings::skipTimedPrompt from the check box.
class TimedSnapshotsDialog : public QDialog {
    Q_OBJECT
public:
    TimedSnapshotsDialog(Settings& settings, const TextLookup& text, Platform& platform,
                         const QString& okCaption, const QString& cancelCaption,
                         QWidget* parent = nullptr);

    QString Tag;
    [[nodiscard]] int interval() const { return interval_; }

    void OKButton_Click();
    void CancelButton_Click();

    void reject() override;

private:
    Settings& settings_;
    const TextLookup& text_;
    Platform& platform_;
    QLabel* requestLabel_;
    QLineEdit* milliseconds_;
    QLabel* millisecondsLabel_;
    QCheckBox* Check1_;
    QPushButton* OKButton_;
    QPushButton* CancelButton_;
    int interval_ = 0;
};
