#include "shell/Skin.h"
#include "shell/SplashForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>

class SkinAndSplashTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void unusableSkinKeepsTheDefaultLook_data();
    void unusableSkinKeepsTheDefaultLook();
    void shippedSkinParsesAndApplies();
    void shippedSkinKeepsTheDesignedColours_data();
    void shippedSkinKeepsTheDesignedColours();
    void shippedSkinShowsDisabledButtons();
    void splashIsAPicture();
    void splashShowsAndCloses();

private:
    static QString shippedSkin();
    QTemporaryDir tmp_;
};

static const QString sentinel = QStringLiteral("QLabel { color: #123456; }");

QString SkinAndSplashTest::shippedSkin() {
    return qEnvironmentVariable("FRAMORA_SOURCE_DIR") + QStringLiteral("/skin/Skin.skf");
}

void SkinAndSplashTest::init() {
    qApp->setStyleSheet(sentinel);
}

void SkinAndSplashTest::cleanup() {
    qApp->setStyleSheet(QString());
}

void SkinAndSplashTest::unusableSkinKeepsTheDefaultLook_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("warning");
    QTest::newRow("missing") << "missing"
                             << "Skin not applied: .*Skin.skf does not exist.";
    QTest::newRow("a folder") << "folder"
                              << "Skin not applied: .*Skin.skf does not exist.";
    QTest::newRow("unreadable") << "unreadable"
                                << "Skin not applied: .*Skin.skf cannot be read";
}

void SkinAndSplashTest::unusableSkinKeepsTheDefaultLook() {
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

void SkinAndSplashTest::shippedSkinParsesAndApplies() {
    QFile file(shippedSkin());
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(shippedSkin()));
    const QString text = QString::fromUtf8(file.readAll());

    // Qt reports a style sheet it cannot parse only when it styles a widget.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("(?i)style ?sheet")));
    QVERIFY(loadSkin(shippedSkin()));
    QCOMPARE(qApp->styleSheet(), text);

    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* group = new QGroupBox("Snapshots");
    auto* inside = new QVBoxLayout(group);
    inside->addWidget(new QLineEdit("IMG_"));
    auto* combo = new QComboBox;
    combo->addItems({"PNG", "JPG"});
    inside->addWidget(combo);
    inside->addWidget(new QCheckBox("Preview snapshot"));
    layout->addWidget(group);
    layout->addWidget(new QProgressBar);
    layout->addWidget(new QSlider(Qt::Horizontal));
    layout->addWidget(new QTreeView);
    layout->addWidget(new QPushButton("OK"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    (void)dialog.grab();
}

void SkinAndSplashTest::shippedSkinKeepsTheDesignedColours_data() {
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("main window client is black") << "client" << QColor(Qt::black);
    QTest::newRow("hover strip is white") << "toolTips" << QColor(Qt::white);
    QTest::newRow("video cover is white") << "logoHide" << QColor(Qt::white);
}

void SkinAndSplashTest::shippedSkinKeepsTheDesignedColours() {
    QFETCH(QString, widget);
    QFETCH(QColor, colour);
    QVERIFY(loadSkin(shippedSkin()));

    QMainWindow window;
    window.menuBar()->addMenu("&File");
    auto* client = new QWidget;
    window.setCentralWidget(client);
    auto* toolTips = new QLabel(client);
    toolTips->setObjectName("toolTips");
    toolTips->setGeometry(0, 200, 300, 30);
    auto* logoHide = new QFrame(client);
    logoHide->setObjectName("logoHide");
    logoHide->setGeometry(20, 10, 200, 150);
    window.resize(320, 280);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QWidget* target = widget == "client" ? client : window.findChild<QWidget*>(widget);
    QVERIFY(target);
    // The whole window, as the user sees it: a transparent child shows its parent.
    const QImage image = window.grab().toImage();
    const QPoint local = widget == "client" ? QPoint(260, 180) : target->rect().center();
    const QPoint spot = target->mapTo(&window, local) * image.devicePixelRatio();
    QCOMPARE(image.pixelColor(spot).rgb(), colour.rgb());

    if (widget == "toolTips") {
        // Its text is dark on the white strip.
        toolTips->setText("Stop");
        toolTips->setFont(QFont(toolTips->font().family(), 20, QFont::Bold));
        const QImage withText = toolTips->grab().toImage();
        int darkest = 255;
        for (int y = 0; y < withText.height(); ++y)
            for (int x = 0; x < withText.width(); ++x)
                darkest = std::min(darkest, qGray(withText.pixel(x, y)));
        QVERIFY2(darkest < 80, "hover text is not dark on white");
    }
}

void SkinAndSplashTest::shippedSkinShowsDisabledButtons() {
    QVERIFY(loadSkin(shippedSkin()));
    QWidget host;
    auto* enabled = new QPushButton(&host);
    auto* disabled = new QPushButton(&host);
    enabled->setGeometry(0, 0, 49, 46);
    disabled->setGeometry(60, 0, 49, 46);
    disabled->setEnabled(false);
    host.resize(120, 50);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    const QColor on = enabled->grab().toImage().pixelColor(24, 23);
    const QColor off = disabled->grab().toImage().pixelColor(24, 23);
    // Enabled buttons stand out from the black client; disabled ones sink into it.
    QVERIFY2(qGray(on.rgb()) > qGray(off.rgb()) + 10, qPrintable(on.name() + " vs " + off.name()));
}

void SkinAndSplashTest::splashIsAPicture() {
    const QImage picture = SplashForm::picture();
    QCOMPARE(picture.size(), SplashForm::pictureSize());
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2)
            colours.insert(picture.pixel(x, y));
    QVERIFY2(colours.size() > 100, "the splash looks blank");

    const QImage sharp = SplashForm::picture(2.0);
    QCOMPARE(sharp.size(), SplashForm::pictureSize() * 2);
}

void SkinAndSplashTest::splashShowsAndCloses() {
    SplashForm splash;
    splash.showNow();
    QVERIFY(splash.isVisible());
    QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!splash.isModal());
    QCOMPARE(splash.size(), SplashForm::pictureSize());
    QVERIFY(splash.findChildren<QWidget*>().isEmpty()); // a picture, no controls
    const QImage shown = splash.grab().toImage();
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
             SplashForm::picture(shown.devicePixelRatio()).convertToFormat(QImage::Format_RGB32));
    QVERIFY(splash.close());
    QVERIFY(!splash.isVisible());
}

QTEST_MAIN(SkinAndSplashTest)
#include "tst_SkinAndSplash.moc"
