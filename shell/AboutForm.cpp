#include "shell/AboutForm.h"

#include "localisation/TextLookup.h"
#include "platform/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <cmath>

namespace {
const QString kApplicationTitle = QStringLiteral("Framora");
} // namespace

AboutForm::AboutForm(const TextLookup& text, QWidget* parent) : QDialog(parent), text_(text) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    const float tpp = dialogTwipsPerPixel(*this);
    const auto px = [tpp](int twips) { return static_cast<int>(std::lround(twips / tpp)); };
    setFixedSize(px(5730), px(3555));

    const auto label = [this, &px](QLabel*& l, const char* name, int x, int y, int w, int h) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(px(x), px(y), px(w), px(h));
    };
    label(picIcon_, "picIcon", 240, 240, 540, 540);
    label(lblTitle_, "lblTitle", 1080, 240, 4095, 255);
    label(lblVersion_, "lblVersion", 1080, 720, 3975, 255);
    label(lblDescription_, "lblDescription", 1080, 1200, 3975, 1335);
    label(scLabel1_, "SCLabel1", 1080, 2520, 2775, 255);
    label(scLabel2_, "SCLabel2", 1080, 2760, 2895, 255);
    lblTitle_->setText(kApplicationTitle);
    QFont titleFont = lblTitle_->font();
    titleFont.setBold(true);
    lblTitle_->setFont(titleFont);
    lblDescription_->setWordWrap(true);
    lblDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scLabel1_->setText(QStringLiteral("https://framora.org"));
    scLabel2_->setText(QStringLiteral("support@framora.org"));
    picIcon_->setScaledContents(true);

    cmdOK_ = new QPushButton(QStringLiteral("OK"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(px(4245), px(3120), px(1260), px(345));
    cmdOK_->setDefault(true);
    cmdOK_->setAutoDefault(true);
    setTabOrder(cmdOK_, cmdOK_);
    // OK is both the default and the cancel button: Enter and Escape close the box.
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutForm::composeTexts() {
    setWindowTitle(text_.SetCaptionfromINI(QStringLiteral("51"), QStringLiteral("About")) +
                   QLatin1Char(' ') + kApplicationTitle);
    lblVersion_->setText(text_.SetCaptionfromINI(QStringLiteral("52"), QStringLiteral("Version")) +
                         QStringLiteral(" %1.%2.0.%3")
                             .arg(FRAMORA_VERSION_MAJOR)
                             .arg(FRAMORA_VERSION_MINOR)
                             .arg(FRAMORA_VERSION_REVISION));
    lblDescription_->setText(text_.SetCaptionfromINI(
        QStringLiteral("53"), QStringLiteral("Framora is one of the easiest tools ever that you "
                                             "can use for image extraction from your favorite "
                                             "videos.")));
}

void AboutForm::setOkCaption(const QString& caption) {
    cmdOK_->setText(caption);
}

// The picture always shows the window's own icon.
void AboutForm::showEvent(QShowEvent* event) {
    picIcon_->setPixmap(windowIcon().pixmap(32, 32));
    QDialog::showEvent(event);
}

void AboutForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowIconChange)
        picIcon_->setPixmap(windowIcon().pixmap(32, 32));
    QDialog::changeEvent(event);
}
