#include "capture/IntervalText.h"

#include <QTest>
#include <cmath>
#include <limits>

class TestIntervalText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Blanks ignored, a sign, digits and one decimal point; reading stops at anything else.
    void reading_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("negative") << "-5" << -5.0;
        QTest::newRow("plus sign") << "+1000" << 1000.0;
        QTest::newRow("blanks around and inside") << "  2 500 " << 2500.0;
        QTest::newRow("blank after the sign") << "- 7" << -7.0;
        QTest::newRow("tab inside") << "1\t000" << 1000.0;
        QTest::newRow("fraction") << "1500.6" << 1500.6;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("unit after the number") << "1500 ms" << 1500.0;
        QTest::newRow("exponent is not read") << "1e5" << 1.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("two signs") << "+-5" << 0.0;
        QTest::newRow("sign after digits stops") << "12-3" << 12.0;
        QTest::newRow("comma stops") << "2,500" << 2.0;
        QTest::newRow("non-ascii digit stops") << QString::fromUtf8("1\u0663") << 1.0;
    }
    void reading() {
        QFETCH(QString, text);
        QTEST(leadingNumberValue(text), "value");
    }

    // 1000 to 60000 ms after rounding halves to the even neighbour.
    void conversion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("interval"); // -1 = refused
        QTest::newRow("lower bound") << "1000" << 1000;
        QTest::newRow("upper bound") << "60000" << 60000;
        QTest::newRow("below") << "999" << -1;
        QTest::newRow("just below, would round up") << "999.9" << -1;
        QTest::newRow("above") << "60001" << -1;
        QTest::newRow("fraction above the upper bound") << "60000.4" << -1;
        QTest::newRow("rounds up") << "1500.6" << 1501;
        QTest::newRow("rounds down") << "1500.4" << 1500;
        QTest::newRow("blank inside") << "2 500" << 2500;
        QTest::newRow("unit after") << "1500 ms" << 1500;
        QTest::newRow("half to even, down") << "2500.5" << 2500;
        QTest::newRow("half to even, up") << "2501.5" << 2502;
        QTest::newRow("just over half") << "2500.5000000000000000001" << 2501;
        QTest::newRow("half at the top") << "59999.5" << 60000;
        QTest::newRow("negative") << "-5000" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("huge") << QString(400, QLatin1Char('9')) << -1;
        QTest::newRow("many leading zeros") << QString(400, QLatin1Char('0')) + "1234" << 1234;
    }
    void conversion() {
        QFETCH(QString, text);
        QTEST(timedIntervalFromText(text).value_or(-1), "interval");
    }

    // The dialog's "1" for Cancel, read as a number.
    void cancelMarker_data() {
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("marker") << "1" << true;
        QTest::newRow("marker with blanks") << " 1 " << true;
        QTest::newRow("one point zero") << "1.0" << true;
        QTest::newRow("accepted value") << "1000" << false;
        QTest::newRow("fraction") << "1.5" << false;
        QTest::newRow("empty") << "" << false;
    }
    void cancelMarker() {
        QFETCH(QString, result);
        QTEST(isCancelledIntervalResult(result), "cancelled");
    }

    void hostileText() {
        const QString huge(1 << 20, QLatin1Char('9'));
        QVERIFY(!timedIntervalFromText(huge));
        QCOMPARE(leadingNumberValue(huge), std::numeric_limits<double>::max());
        QCOMPARE(leadingNumberValue("-" + huge), -std::numeric_limits<double>::max());
        // Just past the double range, short enough for the converter.
        QCOMPARE(leadingNumberValue(QStringLiteral("1") + QString(309, QLatin1Char('0'))),
                 std::numeric_limits<double>::max());
        QString mixed;
        for (int i = 0; i < 5000; ++i)
            mixed += QStringLiteral(" 9.") + QChar(0) + QChar(0xD800);
        QVERIFY(!timedIntervalFromText(mixed));
        QCOMPARE(leadingNumberValue(mixed), 9.0);
        QVERIFY(std::isfinite(leadingNumberValue(QString(100000, QLatin1Char('.')))));
    }
};

QTEST_GUILESS_MAIN(TestIntervalText)
#include "tst_intervaltext.moc"
