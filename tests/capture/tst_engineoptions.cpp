#include "capture/EngineOptions.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTest>

class TestEngineOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sevenEntries_data();
    void sevenEntries();
    void perVideoFolder_data();
    void perVideoFolder();
};

static QString sep() {
    return QString(QDir::separator());
}

void TestEngineOptions::sevenEntries_data() {
    QTest::addColumn<int>("imageFormat");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("showPreview");
    QTest::addColumn<int>("disableScreenSaver");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("screensaver");

    QTest::newRow("png, no preview, screensaver off")
        << 0 << "IMG_" << 0 << 1 << "snapshot-format=PNG"
        << "no-snapshot-preview"
        << "disable-screensaver";
    QTest::newRow("jpg") << 1 << "IMG_" << 0 << 1 << "snapshot-format=JPG"
                         << "no-snapshot-preview"
                         << "disable-screensaver";
    QTest::newRow("any non-zero format is jpg") << 7 << "IMG_" << 0 << 1 << "snapshot-format=JPG"
                                                << "no-snapshot-preview"
                                                << "disable-screensaver";
    QTest::newRow("preview on") << 0 << "IMG_" << 1 << 1 << "snapshot-format=PNG"
                                << "snapshot-preview"
                                << "disable-screensaver";
    QTest::newRow("screensaver left alone") << 0 << "IMG_" << 0 << 0 << "snapshot-format=PNG"
                                            << "no-snapshot-preview"
                                            << "no-disable-screensaver";
    QTest::newRow("prefix inserted as is") << 0 << "a b=" << 0 << 1 << "snapshot-format=PNG"
                                           << "no-snapshot-preview"
                                           << "disable-screensaver";
}

void TestEngineOptions::sevenEntries() {
    QFETCH(int, imageFormat);
    QFETCH(QString, prefix);
    QFETCH(int, showPreview);
    QFETCH(int, disableScreenSaver);
    QFETCH(QString, format);
    QFETCH(QString, preview);
    QFETCH(QString, screensaver);

    Settings settings;
    settings.imageFormat = static_cast<std::uint8_t>(imageFormat);
    settings.filePrefix = prefix;
    settings.snapshotFolder = QStringLiteral("/shots") + sep();
    settings.showPreview = static_cast<std::int16_t>(showPreview);
    settings.disableScreenSaver = static_cast<std::int16_t>(disableScreenSaver);

    QStringList options = BuildEngineOptions(settings);
    QCOMPARE(options.size(), 7);
    QCOMPARE(options[kSnapshotPathEntry], "snapshot-path=/shots" + sep());
    // What a load then puts into entry 2.
    options[kSnapshotPathEntry] =
        QStringLiteral("snapshot-path=") +
        perVideoSnapshotFolder(settings.snapshotFolder, QStringLiteral("/v/a.mpg"));
    const QStringList expected = {"overlay",
                                  "snapshot-prefix=" + prefix,
                                  "snapshot-path=/shots" + sep() + sep() + "a.mpg Images",
                                  format,
                                  preview,
                                  "snapshot-sequential",
                                  screensaver};
    QCOMPARE(options, expected);
}

void TestEngineOptions::perVideoFolder_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "/shots"
                           << "/movies/clip.avi"
                           << "/shots" + sep() + "clip.avi Images";
    QTest::newRow("separator doubled") << "/shots" + sep() << "/movies/clip.avi"
                                       << "/shots" + sep() + sep() + "clip.avi Images";
    QTest::newRow("extension case kept") << "/shots"
                                         << "/movies/CLIP.MKV"
                                         << "/shots" + sep() + "CLIP.MKV Images";
    QTest::newRow("no folder in the path") << "/shots"
                                           << "clip.avi"
                                           << "/shots" + sep() + "clip.avi Images";
#ifdef Q_OS_WIN
    QTest::newRow("backslash separates") << "D:\\Shots"
                                         << "C:\\Movies\\clip.avi"
                                         << "D:\\Shots\\clip.avi Images";
#else
    QTest::newRow("backslash is part of the name") << "/shots"
                                                   << "/movies/a\\b.avi"
                                                   << "/shots" + sep() + "a\\b.avi Images";
#endif
    QTest::newRow("dots and blanks kept") << "/my shots"
                                          << "/a.b/c d.e.mp4"
                                          << "/my shots" + sep() + "c d.e.mp4 Images";
}

void TestEngineOptions::perVideoFolder() {
    QFETCH(QString, folder);
    QFETCH(QString, video);
    QFETCH(QString, expected);
    QCOMPARE(perVideoSnapshotFolder(folder, video), expected);
}

QTEST_GUILESS_MAIN(TestEngineOptions)
#include "tst_engineoptions.moc"
