#include "folderbrowse/PropertyBag.h"

#include <QTest>

class TestPropertyBag : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultValueIsNotStored_data();
    void defaultValueIsNotStored();
    void writingTheDefaultRemovesAStaleEntry();
    void keysKeepTheirFirstWriteOrder();
};

void TestPropertyBag::defaultValueIsNotStored_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("defaultValue");
    QTest::addColumn<bool>("stored");

    QTest::newRow("true, default true") << QVariant(true) << QVariant(true) << false;
    QTest::newRow("false, default true") << QVariant(false) << QVariant(true) << true;
    QTest::newRow("null text, default empty")
        << QVariant(QString()) << QVariant(QStringLiteral("")) << false;
    QTest::newRow("text, default empty")
        << QVariant(QStringLiteral("/tmp")) << QVariant(QString()) << true;
}

void TestPropertyBag::defaultValueIsNotStored() {
    QFETCH(QVariant, value);
    QFETCH(QVariant, defaultValue);
    QFETCH(bool, stored);

    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Key"), value, defaultValue);
    QCOMPARE(bag.Contains(QStringLiteral("Key")), stored);
    QCOMPARE(bag.ReadProperty(QStringLiteral("Key"), defaultValue), value);
}

void TestPropertyBag::writingTheDefaultRemovesAStaleEntry() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("UseNewUI"), true, false);
    bag.WriteProperty(QStringLiteral("UseNewUI"), false, false);
    QVERIFY(bag.Keys().isEmpty());
    QCOMPARE(bag.ReadProperty(QStringLiteral("UseNewUI"), false), QVariant(false));
}

void TestPropertyBag::keysKeepTheirFirstWriteOrder() {
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("a"), QString());
    bag.WriteProperty(QStringLiteral("Enabled"), false, true);
    bag.WriteProperty(QStringLiteral("Caption"), QStringLiteral("b"), QString());
    QCOMPARE(bag.Keys(), QStringList({QStringLiteral("Caption"), QStringLiteral("Enabled")}));
    QCOMPARE(bag.ReadProperty(QStringLiteral("Caption"), QString()), QVariant(QStringLiteral("b")));
}

QTEST_APPLESS_MAIN(TestPropertyBag)
#include "tst_PropertyBag.moc"
