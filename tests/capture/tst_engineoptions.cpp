#include "capture/EngineOptions.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTest>

static QString sep() {
    return QString(QDir::separator());
}

class TestEngineOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The seven entries as a load hands them over for /v/a.mpg, the folder ending in a
    // separator.
    void sevenEntries_data() {
        QTest::addColumn<int>("imageFormat");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("showPreview");
        QTest::addColumn<int>("disableScreenSaver");
        QTest::addColumn<QStringList>("switches"); // entries 3, 4 and 6
        QTest::newRow("PNG, no preview, screen saver off")
            << 0 << "IMG_" << 0 << 1
            << QStringList{"snapshot-format=PNG", "no-snapshot-preview", "disable-screensaver"};
        QTest::newRow("JPG, preview, screen saver left alone, prefix as it is")
            << 1 << "a b=" << 1 << 0
            << QStringList{"snapshot-format=JPG", "snapshot-preview", "no-disable-screensaver"};
        QTest::newRow("any non-zero format is JPG")
            << 7 << "IMG_" << 0 << 1
            << QStringList{"snapshot-format=JPG", "no-snapshot-preview", "disable-screensaver"};
    }
    void sevenEntries() {
        QFETCH(int, imageFormat);
        QFETCH(QString, prefix);
        QFETCH(int, showPreview);
        QFETCH(int, disableScreenSaver);
        QFETCH(QStringList, switches);
        Settings settings;
        settings.imageFormat = static_cast<std::uint8_t>(imageFormat);
        settings.filePrefix = prefix;
        settings.snapshotFolder = QStringLiteral("/shots") + sep();
        settings.showPreview = static_cast<std::int16_t>(showPreview);
        settings.disableScreenSaver = static_cast<std::int16_t>(disableScreenSaver);

        QStringList options = BuildEngineOptions(settings);
        QCOMPARE(options.size(), 7);
        QCOMPARE(options[kSnapshotPathEntry], "snapshot-path=/shots" + sep());
        options[kSnapshotPathEntry] =
            "snapshot-path=" + perVideoSnapshotFolder(settings.snapshotFolder, "/v/a.mpg");
        QCOMPARE(options,
                 (QStringList{"overlay", "snapshot-prefix=" + prefix,
                              "snapshot-path=/shots" + sep() + sep() + "a.mpg Images", switches[0],
                              switches[1], "snapshot-sequential", switches[2]}));
    }

    // Nothing is normalised.
    void perVideoFolder_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("video");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks and dots kept") << "/my shots"
                                              << "/a.b/c d.e.mp4"
                                              << "/my shots" + sep() + "c d.e.mp4 Images";
        QTest::newRow("separator doubled") << "/shots" + sep() << "/movies/clip.avi"
                                           << "/shots" + sep() + sep() + "clip.avi Images";
        QTest::newRow("extension case kept") << "/shots"
                                             << "/movies/CLIP.MKV"
                                             << "/shots" + sep() + "CLIP.MKV Images";
#ifdef Q_OS_WIN
        QTest::newRow("backslash separates") << "D:\\Shots"
                                             << "C:\\Movies\\clip.avi"
                                             << "D:\\Shots\\clip.avi Images";
#else
        QTest::newRow("backslash is part of the name") << "/shots"
                                                       << "/movies/a\\b.avi"
                                                       << "/shots" + sep() + "a\\b.avi Images";
#endif
    }
    void perVideoFolder() {
        QFETCH(QString, folder);
        QFETCH(QString, video);
        QTEST(perVideoSnapshotFolder(folder, video), "expected");
    }
};

QTEST_GUILESS_MAIN(TestEngineOptions)
#include "tst_engineoptions.moc"
