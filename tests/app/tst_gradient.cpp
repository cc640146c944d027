#include "app/gradient.h"

#include <QTest>

class TestGradient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void designedClientArea_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("color");
        QTest::newRow("top-left corner is teal") << QPoint(0, 0) << QColor(0, 128, 128);
        QTest::newRow("middle of the top row") << QPoint(623, 0) << QColor(96, 160, 160);
        QTest::newRow("bottom-left corner") << QPoint(0, 743) << QColor(114, 166, 166);
        QTest::newRow("right column, top") << QPoint(1245, 0) << QColor(192, 192, 192);
        QTest::newRow("right column, middle") << QPoint(1245, 400) << QColor(192, 192, 192);
        QTest::newRow("right column, bottom") << QPoint(1245, 743) << QColor(192, 192, 192);
    }
    void designedClientArea() {
        QFETCH(QPoint, pixel);
        QFETCH(QColor, color);
        static const QImage image = gradient::paint(1246, 744);
        QCOMPARE(image.size(), QSize(1246, 744));
        QCOMPARE(image.pixelColor(pixel), color);
    }

    void halvesRoundToEven() {
        // 3 steps, 0 to 1: step 1 gives 1/3, step 2 gives 2/3; 0 to 3 over 2 steps gives 1.5 -> 2; 0 to 1 gives 0.5 ->
        // 0.
        QCOMPARE(gradient::channel(0, 3, 1, 2), 2);
        QCOMPARE(gradient::channel(0, 1, 1, 2), 0);
        QCOMPARE(gradient::channel(0, 5, 1, 2), 2);
        QCOMPARE(gradient::channel(0, 7, 1, 2), 4);
        QCOMPARE(gradient::channel(300, 300, 1, 2), 255); // clamped
    }

    void squareAreaHasOneColourOnItsFarEdges() {
        const QImage image = gradient::paint(300, 300);
        const QColor edge = image.pixelColor(299, 0);
        for (int k = 0; k < 300; ++k) {
            QCOMPARE(image.pixelColor(299, k), edge);
            QCOMPARE(image.pixelColor(k, 299), edge);
        }
    }

    void everyPixelShowsTheStepOfItsFartherCoordinate() {
        const QImage image = gradient::paint(40, 25);
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 40; ++x) {
                const int i = qMax(x, y);
                QCOMPARE(image.pixelColor(x, y),
                         QColor(gradient::channel(0, 192, i, 40), gradient::channel(128, 192, i, 40),
                                gradient::channel(128, 192, i, 40)));
            }
    }

    void emptyAreaGivesNoImage() {
        QVERIFY(gradient::paint(0, 744).isNull());
        QVERIFY(gradient::paint(1246, 0).isNull());
        QVERIFY(gradient::paint(-5, 10).isNull());
    }
};

QTEST_MAIN(TestGradient)
#include "tst_gradient.moc"
