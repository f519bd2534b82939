#include "mouse_events.h"
#include "palette_label.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

namespace {
const char *const kHuePicture = ":/icons/resources/icons/HSV_Hue.png";
const char *const kSatPicture = ":/icons/resources/icons/HSV_Sta.png";
} // namespace

using namespace MouseEvents;

class TestPaletteLabel : public QObject {
    Q_OBJECT
private slots:
    void startsWithTheRangesNeutralValues()
    {
        PaletteLabel hue(kHuePicture, -64, 64);
        PaletteLabel sat(kSatPicture, 0, 255);
        PaletteLabel other(QString(), 0, 100);
        QCOMPARE(hue.values(), QList<int>(24, 0));
        QCOMPARE(sat.values(), QList<int>(24, 64));
        QCOMPARE(other.values(), QList<int>(24, 50));
        QVERIFY(hue.highlights().isEmpty());
        // The picture is shown at 330×110 and the label keeps to that size.
        QVERIFY(!hue.pixmap().isNull());
        QCOMPARE(hue.pixmap().size(), QSize(330, 110));
        QCOMPARE(hue.maximumSize(), QSize(330, 110));
    }

    void setValuesTakesExactlyTwentyFourClampedEntries()
    {
        PaletteLabel sat(kSatPicture, 0, 255);
        sat.setValues(QList<int>(23, 10));
        sat.setValues(QList<int>(25, 10));
        QCOMPARE(sat.values(), QList<int>(24, 64));
        sat.setValues(QList<int>(24, 300));
        QCOMPARE(sat.values(), QList<int>(24, 255));
        sat.setValues(QList<int>(24, -5));
        QCOMPARE(sat.values(), QList<int>(24, 0));

        sat.setValue(24, 9);
        sat.setValue(-1, 9);
        QCOMPARE(sat.values(), QList<int>(24, 0));
        sat.setValue(3, 999);
        QCOMPARE(sat.values().at(3), 255);
    }

    void positionsMapToPointsAndValues()
    {
        PaletteLabel hue(kHuePicture, -64, 64);
        hue.setFixedSize(230, 100); // one point every 10 px
        QCOMPARE(hue.indexFromX(0), 0);
        QCOMPARE(hue.indexFromX(-20), 0);
        QCOMPARE(hue.indexFromX(4.4), 0);
        QCOMPARE(hue.indexFromX(5), 1);
        QCOMPARE(hue.indexFromX(14), 1);
        QCOMPARE(hue.indexFromX(15), 2);
        QCOMPARE(hue.indexFromX(224), 22);
        QCOMPARE(hue.indexFromX(225), 23);
        QCOMPARE(hue.indexFromX(230), 23);
        QCOMPARE(hue.indexFromX(1000), 23);

        QCOMPARE(hue.valueFromY(0), 64);
        QCOMPARE(hue.valueFromY(-50), 64);
        QCOMPARE(hue.valueFromY(100), -64);
        QCOMPARE(hue.valueFromY(5000), -64);
        QCOMPARE(hue.valueFromY(50), 0);
        QCOMPARE(hue.valueFromY(51), -1);  // -1.28 truncated toward zero
        QCOMPARE(hue.valueFromY(49), 1);   //  1.28
        QCOMPARE(hue.valueFromY(50.4), 0); // positions are rounded first

        // Markers: x = w·i/23, y from the value, both truncated.
        hue.setValue(23, 64);
        QCOMPARE(hue.pointPosition(0), QPoint(0, 50));
        QCOMPARE(hue.pointPosition(23), QPoint(230, 0));
    }

    void dragReportsEveryStepAndCommitsOnRelease()
    {
        PaletteLabel sat(kSatPicture, 0, 255);
        sat.setFixedSize(330, 110);
        QSignalSpy immediate(&sat, &PaletteLabel::immediateClicked);
        QSignalSpy logical(&sat, &PaletteLabel::logicalClicked);

        // A press alone changes nothing.
        press(&sat, QPoint(0, 60));
        release(&sat, QPoint(0, 60));
        QCOMPARE(immediate.count(), 0);
        QCOMPARE(logical.count(), 0);

        // Drag point 23 above the top edge and release at once: one commit, on release.
        QElapsedTimer clock;
        clock.start();
        press(&sat, QPoint(330, 60));
        move(&sat, QPoint(330, 50));
        move(&sat, QPoint(330, -40));
        move(&sat, QPoint(330, -80)); // still the maximum: no report
        const qint64 elapsed = clock.elapsed();
        release(&sat, QPoint(330, -80));
        if (elapsed >= PaletteLabel::kDebounceMs)
            QSKIP("the machine stalled for a whole debounce interval");
        QCOMPARE(immediate.count(), 2);
        QCOMPARE(immediate.last(), QVariantList({23, 255}));
        QCOMPARE(logical.count(), 1);
        QCOMPARE(logical.last(), QVariantList({23, 255}));
        QCOMPARE(sat.values().at(23), 255);

        // Below the bottom edge gives the minimum.
        press(&sat, QPoint(0, 10));
        move(&sat, QPoint(0, 500));
        release(&sat, QPoint(0, 500));
        QCOMPARE(sat.values().at(0), 0);
        QCOMPARE(logical.last(), QVariantList({0, 0}));

        // Moves without a held press do nothing.
        move(&sat, QPoint(100, 5));
        QCOMPARE(sat.values().at(7), 64);
    }

    void restingCommitsOnceAndReleaseAddsNothing()
    {
        PaletteLabel hue(kHuePicture, -64, 64);
        hue.setFixedSize(330, 110);
        QSignalSpy logical(&hue, &PaletteLabel::logicalClicked);
        press(&hue, QPoint(72, 55)); // point 5
        move(&hue, QPoint(72, 30));
        QVERIFY(logical.wait(1000));
        QCOMPARE(logical.count(), 1);
        QCOMPARE(logical.last().at(0).toInt(), 5);
        QCOMPARE(logical.last().at(1).toInt(), hue.values().at(5));
        release(&hue, QPoint(72, 30));
        QTest::qWait(PaletteLabel::kDebounceMs * 2);
        QCOMPARE(logical.count(), 1);

        // Moving on after a rest reports the new value once more.
        press(&hue, QPoint(72, 30));
        move(&hue, QPoint(72, 90));
        QVERIFY(logical.wait(1000));
        release(&hue, QPoint(72, 90));
        QCOMPARE(logical.count(), 2);
    }

    void highlightsSignalOnlyOnChange()
    {
        PaletteLabel hue(kHuePicture, -64, 64);
        QSignalSpy changed(&hue, &PaletteLabel::highlightChanged);
        hue.clearHighlights();
        QCOMPARE(changed.count(), 0);
        hue.setHighlights({0, 1});
        hue.setHighlights({0, 1});
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last(), QVariantList({2, true}));
        hue.setHighlights({1, 0}); // another order is another list
        QCOMPARE(changed.count(), 2);
        hue.setHighlights({});
        QCOMPARE(changed.last(), QVariantList({0, false}));
        hue.setHighlights({4});
        hue.clearHighlights();
        QCOMPARE(changed.count(), 5);
        QCOMPARE(changed.last(), QVariantList({0, false}));
        QVERIFY(hue.highlights().isEmpty());
    }

    void paintsNormalAndHighlightedPoints()
    {
        PaletteLabel sat(kSatPicture, 0, 255);
        sat.setFixedSize(330, 110);
        sat.setHighlights({10});
        const QImage image = sat.grab().toImage();
        const QPoint normal = sat.pointPosition(5);
        const QPoint marked = sat.pointPosition(10);
        QCOMPARE(image.pixelColor(normal), QColor(0, 100, 200));
        QCOMPARE(image.pixelColor(marked), QColor(255, 255, 0));
        // The red ring around the highlighted point.
        const QColor ring = image.pixelColor(marked + QPoint(-6, 0));
        QVERIFY2(ring.red() > 200 && ring.green() < 80 && ring.blue() < 80, qPrintable(ring.name()));
    }
};

QTEST_MAIN(TestPaletteLabel)
#include "test_palette_label.moc"
