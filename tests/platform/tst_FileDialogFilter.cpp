#include "platform/FileDialogFilter.h"

#include <QTest>

class FileDialogFilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void conversion_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("empty") << QString() << QStringList();
        // The form File > Open builds: all types first, then one pair per type.
        QTest::newRow("the program's form")
            << "All Supported Formats|*.avi;*.hdmov|AVI|*.avi|HDMOV|*.hdmov"
            << QStringList{"All Supported Formats (*.avi *.AVI *.hdmov *.HDMOV)",
                           "AVI (*.avi *.AVI)", "HDMOV (*.hdmov *.HDMOV)"};
        QTest::newRow("one pair") << "Text|*.txt" << QStringList{"Text (*.txt *.TXT)"};
        QTest::newRow("description without patterns dropped")
            << "Text|*.txt|Orphan" << QStringList{"Text (*.txt *.TXT)"};
        QTest::newRow("trailing bar") << "Text|*.txt|" << QStringList{"Text (*.txt *.TXT)"};
        QTest::newRow("blanks and empty patterns")
            << "Videos| *.avi ;;*.mkv; |" << QStringList{"Videos (*.avi *.AVI *.mkv *.MKV)"};
        QTest::newRow("pair with only empty patterns skipped")
            << "None|;|Text|*.txt" << QStringList{"Text (*.txt *.TXT)"};
        QTest::newRow("upper case given: no repeat")
            << "Video|*.AVI;*.avi" << QStringList{"Video (*.AVI *.avi)"};
        QTest::newRow("star has no case") << "All files|*" << QStringList{"All files (*)"};
        QTest::newRow("mixed case pattern gets its upper twin")
            << "Movie|*.HdMov" << QStringList{"Movie (*.HdMov *.HDMOV)"};
        QTest::newRow("parentheses in description")
            << "Videos (all)|*.mp4" << QStringList{"Videos (all) (*.mp4 *.MP4)"};
    }

    void conversion() {
        QFETCH(QString, program);
        QFETCH(QStringList, expected);
        QCOMPARE(qtNameFilters(program), expected);
    }
};

QTEST_GUILESS_MAIN(FileDialogFilterTest)
#include "tst_FileDialogFilter.moc"
