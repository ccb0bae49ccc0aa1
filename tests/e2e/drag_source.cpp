// A drag source for the end-to-end tests: a small window titled "drag source" that, when
// pressed, drags the file named on its command line as a file manager does (a file URL).
// It stays until it is ended, as a file manager does: the target fetches the dropped data
// from it after the drop.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {
class DragSource : public QWidget {
public:
    explicit DragSource(QString path) : path_(std::move(path)) {
        setWindowTitle(QStringLiteral("drag source"));
        resize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path_)});
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::fprintf(stderr, "drag: %s\n", done == Qt::IgnoreAction ? "not dropped" : "dropped");
    }

private:
    QString path_;
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    DragSource source(QString::fromLocal8Bit(argv[1]));
    // Clear of the main window, which opens at the top left without a window manager.
    source.move(700, 500);
    source.show();
    return QApplication::exec();
}
