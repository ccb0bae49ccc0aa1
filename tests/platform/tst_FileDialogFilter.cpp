#include "platform/FileDialogFilter.h"

#include <QTest>

class FileDialogFilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void openDialogFilter();
    void conversion_data();
    void conversion();
};

// The filter File > Open builds from the twelve supported extensions.
static QString openDialogProgramFilter() {
    const QStringList extensions{"mpg",   "avi", "mpe", "3gp", "3g2", "asf",
                                 "hdmov", "m4v", "mkv", "mp4", "wmv", "vob"};
    QString filter = QStringLiteral("All Supported Formats|");
    for (const QString& e : extensions)
        filter += "*." + e + ";";
    filter.chop(1);
    filter += "|";
    for (const QString& e : extensions)
        filter += e.toUpper() + "|*." + e + "|";
    filter.chop(1);
    return filter;
}

void FileDialogFilterTest::openDialogFilter() {
    const QStringList filters = qtNameFilters(openDialogProgramFilter());
    const QStringList expected{
        "All Supported Formats (*.mpg *.MPG *.avi *.AVI *.mpe *.MPE *.3gp *.3GP *.3g2 *.3G2 "
        "*.asf *.ASF *.hdmov *.HDMOV *.m4v *.M4V *.mkv *.MKV *.mp4 *.MP4 *.wmv *.WMV *.vob "
        "*.VOB)",
        "MPG (*.mpg *.MPG)",
        "AVI (*.avi *.AVI)",
        "MPE (*.mpe *.MPE)",
        "3GP (*.3gp *.3GP)",
        "3G2 (*.3g2 *.3G2)",
        "ASF (*.asf *.ASF)",
        "HDMOV (*.hdmov *.HDMOV)",
        "M4V (*.m4v *.M4V)",
        "MKV (*.mkv *.MKV)",
        "MP4 (*.mp4 *.MP4)",
        "WMV (*.wmv *.WMV)",
        "VOB (*.vob *.VOB)",
    };
    QCOMPARE(filters.size(), 13);
    QCOMPARE(filters, expected);
}

void FileDialogFilterTest::conversion_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty") << QString() << QStringList();
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

void FileDialogFilterTest::conversion() {
    QFETCH(QString, program);
    QFETCH(QStringList, expected);
    QCOMPARE(qtNameFilters(program), expected);
}

QTEST_GUILESS_MAIN(FileDialogFilterTest)
#include "tst_FileDialogFilter.moc"
