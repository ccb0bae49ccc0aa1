#include "folderbrowse/BrowseFlags.h"

#include <QTest>

Q_DECLARE_METATYPE(BrowseOptions)

class TestBrowseFlags : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void word_data();
    void word();
};

void TestBrowseFlags::word_data() {
    QTest::addColumn<BrowseOptions>("options");
    QTest::addColumn<unsigned>("expected");

    BrowseOptions none;
    none.dontGoBelowDomain = false;
    none.validateSelection = false;
    QTest::newRow("defaults") << BrowseOptions{} << 0x0022u;
    QTest::newRow("none") << none << 0x0000u;

    const auto only = [&](bool BrowseOptions::*option) {
        BrowseOptions o = none;
        o.*option = true;
        return o;
    };
    QTest::newRow("OnlyFileSystemDirectories")
        << only(&BrowseOptions::onlyFileSystemDirectories) << 0x0001u;
    QTest::newRow("DontGoBelowDomain") << only(&BrowseOptions::dontGoBelowDomain) << 0x0002u;
    QTest::newRow("AllowEditBox") << only(&BrowseOptions::allowEditBox) << 0x0010u;
    QTest::newRow("ValidateSelection") << only(&BrowseOptions::validateSelection) << 0x0020u;
    // The new dialog style alone, never the combined new-UI value 0x0050.
    QTest::newRow("UseNewUI") << only(&BrowseOptions::useNewUI) << 0x0040u;
    QTest::newRow("BrowseForComputer") << only(&BrowseOptions::browseForComputer) << 0x1000u;
    QTest::newRow("BrowseForPrinter") << only(&BrowseOptions::browseForPrinter) << 0x2000u;
    QTest::newRow("IncludeFiles") << only(&BrowseOptions::includeFiles) << 0x4000u;

    const BrowseOptions all{true, true, true, true, true, true, true, true};
    QTest::newRow("all eight") << all << 0x7073u;
}

void TestBrowseFlags::word() {
    QFETCH(BrowseOptions, options);
    QFETCH(unsigned, expected);
    QCOMPARE(BuildBrowseFlags(options), expected);
}

QTEST_APPLESS_MAIN(TestBrowseFlags)
#include "tst_BrowseFlags.moc"
