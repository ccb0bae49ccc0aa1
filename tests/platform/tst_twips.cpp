// Dialog geometry in twips: the font allowance and fitting translated texts.
#include "platform/Twips.h"

#include <QLabel>
#include <QTest>

class TestTwips : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dialogScaleNeverShrinksTheDesign() {
        QWidget dialog;
        QFont font = dialog.font();
        for (const qreal size : {6.0, 9.0, 14.0}) {
            font.setPointSizeF(size);
            dialog.setFont(font);
            QVERIFY(dialogTwipsPerPixel(dialog) <= twipsPerPixel(dialog));
        }
        // A larger font always gets at least as much room.
        font.setPointSizeF(9.0);
        dialog.setFont(font);
        const float small = dialogTwipsPerPixel(dialog);
        font.setPointSizeF(14.0);
        dialog.setFont(font);
        QVERIFY(dialogTwipsPerPixel(dialog) <= small);
    }

    void fitTextToWidth_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shrinks");
        QTest::addColumn<bool>("fits");
        QTest::newRow("short") << QStringLiteral("Idioma:") << false << true;
        QTest::newRow("a little long") << QStringLiteral("Sprache auswählen:") << true << true;
        QTest::newRow("far too long")
            << QStringLiteral("A label that no font size could ever fit into its box") << true
            << false;
    }

    void fitTextToWidth() {
        QFETCH(QString, text);
        QFETCH(bool, shrinks);
        QFETCH(bool, fits);
        QWidget parent;
        QFont font = parent.font();
        font.setPointSizeF(9.0);
        parent.setFont(font);
        QLabel label(&parent);
        label.setGeometry(0, 0, 95, 20);
        // A font left over from a longer text is given back first.
        QFont tiny = font;
        tiny.setPointSizeF(7.0);
        label.setFont(tiny);
        label.setText(text);
        ::fitTextToWidth(label);
        QCOMPARE(label.font().pointSizeF() < 9.0, shrinks);
        QVERIFY(label.font().pointSizeF() >= 7.0);
        QCOMPARE(label.sizeHint().width() <= label.width(), fits);
    }
};

QTEST_MAIN(TestTwips)
#include "tst_twips.moc"
