// Mouse, drop and resize events of the main window's controls.
#include "platform/Twips.h"
#include "shell/GlyphFaces.h"
#include "shell/LayoutPass.h"
#include "shell/MainForm.h"

#include "platform/FileNames.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QUrl>
#include <cmath>

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled())
            break;
        if (button == ui_.muteStatus) {
            if (!player_.view().muted)
                ShowToolTip(QStringLiteral("032"), QStringLiteral("Mute"));
            else
                ShowToolTip(QStringLiteral("033"), QStringLiteral("Sound"));
            break;
        }
        const HoverText hover = hoverTextOf(button->objectName());
        if (!hover.key.isEmpty())
            ShowToolTip(hover.key, hover.defaultText);
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == ui_.volumeSlider) {
            // A click on the groove puts the handle under the pointer, so that the press
            // both sets the volume there and can go on as a drag.
            if (mouse->button() == Qt::LeftButton && ui_.volumeSlider->width() > 0) {
                const double fraction = mouse->position().x() / ui_.volumeSlider->width();
                ui_.volumeSlider->setValue(static_cast<int>(std::lround(fraction * 100)));
            }
            volumeSlider_MouseDown(mouse->button());
        } else if (watched == ui_.movieProgress) {
            movieProgress_MouseDown(mouse->button(), static_cast<float>(mouse->position().x()) *
                                                         twipsPerPixel(*this));
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// Files dropped anywhere on the window, on the video or beside it, playing or not.
void MainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

// Wherever the pointer moves over the window, the drop is welcome.
void MainForm::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event) {
    // An entry that is not a local file (a web address) stays in the list as it is, so
    // that first in the list it is refused with its reason rather than skipped.
    const QList<QUrl> urls = event->mimeData()->urls();
    QStringList files;
    for (const QUrl& url : urls)
        files << (url.isLocalFile() ? url.toLocalFile() : url.toString());
    event->acceptProposedAction();
    if (!urls.isEmpty() && urls.first().isLocalFile() && !localNameIsText(urls.first())) {
        refuseOpening(files.first(), QStringLiteral("its name is not valid text (UTF-8); "
                                                    "rename the file to open it"));
        return;
    }
    dropped(files);
}

void MainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainForm::Form_Resize() {
    if (isMinimized() || !ui_.client)
        return;
    const float tpp = twipsPerPixel(*this);
    if (minWidth_ > 0 && minHeight_ > 0) {
        const auto larger = enforceMinimumSize(QSizeF(width() * tpp, height() * tpp),
                                               QSizeF(minWidth_, minHeight_));
        if (larger) {
            resize(static_cast<int>(std::lround(larger->width() / tpp)),
                   static_cast<int>(std::lround(larger->height() / tpp)));
        }
    }
    const MainLayout layout =
        computeMainLayout(static_cast<float>(ui_.client->width()),
                          static_cast<float>(ui_.client->height()), progressBottomGap_, tpp);
    for (auto it = layout.controls.cbegin(); it != layout.controls.cend(); ++it) {
        if (auto* widget = ui_.client->findChild<QWidget*>(it.key()))
            widget->setGeometry(roundedRect(it.value()));
    }
}
