#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TextLookup;

// The About box: program title, version and description in the current language.
class AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(const TextLookup& text, QWidget* parent = nullptr);

    // Composes the title, version line and description from the current language pack;
    // run at every opening.
    void composeTexts();
    void setOkCaption(const QString& caption);

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const TextLookup& text_;
    QLabel* picIcon_ = nullptr;
    QLabel* lblTitle_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblDescription_ = nullptr;
    QLabel* scLabel1_ = nullptr;
    QLabel* scLabel2_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
};
