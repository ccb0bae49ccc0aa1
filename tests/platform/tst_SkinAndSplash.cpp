#include "shell/Skin.h"
#include "shell/SplashForm.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

static const QString sentinel = QStringLiteral("QLabel { color: #123456; }");

class SkinAndSplashTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { qApp->setStyleSheet(sentinel); }

    void cleanup() { qApp->setStyleSheet(QString()); }

    void unusableSkinKeepsTheDefaultLook_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("warning");
        QTest::newRow("missing") << "missing"
                                 << "Skin not applied: .*Skin.skf does not exist.";
        QTest::newRow("a folder") << "folder"
                                  << "Skin not applied: .*Skin.skf does not exist.";
        QTest::newRow("unreadable") << "unreadable"
                                    << "Skin not applied: .*Skin.skf cannot be read";
    }

    void unusableSkinKeepsTheDefaultLook() {
        QFETCH(QString, kind);
        QFETCH(QString, warning);
        const QString dir = tmp_.filePath(kind);
        QVERIFY(QDir().mkpath(dir));
        const QString path = dir + "/Skin.skf";
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == "unreadable") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("QWidget { color: red; }");
            file.close();
            QVERIFY(file.setPermissions(QFile::WriteOwner));
            if (file.open(QIODevice::ReadOnly))
                QSKIP("Permissions do not stop this user from reading.");
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        QVERIFY(!loadSkin(path));
        QCOMPARE(qApp->styleSheet(), sentinel);
    }

    // The shipped skin parses (Qt reports a bad style sheet only when it styles a widget)
    // and keeps the designed colours: a black client, a white hover strip with dark text, a
    // white video cover, enabled buttons standing out from the client and disabled ones not.
    void shippedSkin() {
        const QString path = qEnvironmentVariable("FRAMORA_SOURCE_DIR") + "/skin/Skin.skf";
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QTest::failOnWarning(QRegularExpression(QStringLiteral("(?i)style ?sheet")));
        QVERIFY(loadSkin(path));
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8(file.readAll()));

        QMainWindow window;
        window.menuBar()->addMenu("&File");
        auto* client = new QWidget;
        window.setCentralWidget(client);
        const auto place = [client](QWidget* w, const char* name, QRect at) {
            w->setParent(client);
            w->setObjectName(name);
            w->setGeometry(at);
            return w;
        };
        auto* toolTips = static_cast<QLabel*>(place(new QLabel, "toolTips", {0, 200, 300, 30}));
        QWidget* logoHide = place(new QFrame, "logoHide", {20, 10, 200, 150});
        QWidget* enabled = place(new QPushButton, "playButton", {230, 10, 49, 46});
        QWidget* disabled = place(new QPushButton, "stopButton", {230, 70, 49, 46});
        disabled->setEnabled(false);
        window.resize(320, 280);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The whole window, as the user sees it: a transparent child shows its parent.
        const QImage image = window.grab().toImage();
        const auto colourAt = [&](QWidget* w, QPoint local) {
            return image.pixelColor(w->mapTo(&window, local) * image.devicePixelRatio());
        };
        QCOMPARE(colourAt(client, {300, 180}).rgb(), QColor(Qt::black).rgb());
        QCOMPARE(colourAt(toolTips, toolTips->rect().center()).rgb(), QColor(Qt::white).rgb());
        QCOMPARE(colourAt(logoHide, logoHide->rect().center()).rgb(), QColor(Qt::white).rgb());
        const QColor on = colourAt(enabled, {24, 23});
        const QColor off = colourAt(disabled, {24, 23});
        QVERIFY2(qGray(on.rgb()) > qGray(off.rgb()) + 10,
                 qPrintable(on.name() + " vs " + off.name()));

        toolTips->setText("Stop");
        toolTips->setFont(QFont(toolTips->font().family(), 20, QFont::Bold));
        const QImage withText = toolTips->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < withText.height(); ++y)
            for (int x = 0; x < withText.width(); ++x)
                darkest = std::min(darkest, qGray(withText.pixel(x, y)));
        QVERIFY2(darkest < 80, "hover text is not dark on white");
    }

    // A real picture (not a blank area), shown at its size until closed.
    void splash() {
        const QImage picture = SplashForm::picture();
        QSet<QRgb> colours;
        for (int y = 0; y < picture.height(); y += 2)
            for (int x = 0; x < picture.width(); x += 2)
                colours.insert(picture.pixel(x, y));
        QVERIFY2(colours.size() > 100, "the splash looks blank");
        SplashForm splash;
        splash.showNow();
        QVERIFY(splash.isVisible());
        QCOMPARE(splash.size(), picture.size());
        QVERIFY(splash.close());
        QVERIFY(!splash.isVisible());
    }

private:
    QTemporaryDir tmp_;
};

QTEST_MAIN(SkinAndSplashTest)
#include "tst_SkinAndSplash.moc"
