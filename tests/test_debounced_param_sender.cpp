#include "debounced_param_sender.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>

#include <memory>

namespace {
struct Send {
    QString key;
    QString value;
    qint64 at; // ms on the test's clock
};
} // namespace

class TestDebouncedParamSender : public QObject {
    Q_OBJECT

    QElapsedTimer clock;
    QList<Send> sends;

    DebouncedParamSender::SendFunction recorder()
    {
        return [this](const QString &key, const QString &value) { sends.append({key, value, clock.elapsed()}); };
    }

private slots:
    void init()
    {
        sends.clear();
        clock.start();
    }

    void burstOfOneKeySendsTheLastValueOnce()
    {
        DebouncedParamSender sender(nullptr);
        QCOMPARE(sender.intervalMs(), 100);
        qint64 lastCall = 0;
        qint64 longestGap = 0;
        for (int value = 51; value <= 60; ++value) {
            if (value > 51)
                longestGap = qMax(longestGap, clock.elapsed() - lastCall);
            sender.schedule("Luminance", QString::number(value), recorder());
            lastCall = clock.elapsed();
            QTest::qWait(5);
        }
        if (longestGap >= 90)
            QSKIP("the machine stalled for a whole interval between two calls");
        QCOMPARE(sender.pendingCount(), 1);
        QTRY_COMPARE(sends.size(), 1);
        QCOMPARE(sends.first().key, QString("Luminance"));
        QCOMPARE(sends.first().value, QString("60"));
        QVERIFY2(sends.first().at - lastCall >= 90, qPrintable(QString::number(sends.first().at - lastCall)));
        QVERIFY(!sender.hasPending("Luminance"));
        QTest::qWait(150);
        QCOMPARE(sends.size(), 1);
    }

    void keysRunIndependently()
    {
        DebouncedParamSender sender(nullptr);
        sender.schedule("Contrast", "40", recorder());
        const qint64 contrastAt = clock.elapsed();
        QTest::qWait(20);
        sender.schedule("Luminance", "70", recorder());
        const qint64 luminanceAt = clock.elapsed();
        QTRY_COMPARE(sends.size(), 2);
        QCOMPARE(sends[0].key, QString("Contrast"));
        QCOMPARE(sends[0].value, QString("40"));
        QCOMPARE(sends[1].key, QString("Luminance"));
        QCOMPARE(sends[1].value, QString("70"));
        QVERIFY(sends[0].at - contrastAt >= 90);
        QVERIFY(sends[1].at - luminanceAt >= 90);
    }

    void latestSendFunctionIsUsed()
    {
        DebouncedParamSender sender(nullptr);
        int firstCalls = 0;
        sender.schedule("Hue", "10", [&](const QString &, const QString &) { ++firstCalls; });
        sender.schedule("Hue", "11", recorder());
        QTRY_COMPARE(sends.size(), 1);
        QCOMPARE(sends.first().value, QString("11"));
        QCOMPARE(firstCalls, 0);
    }

    void pausing()
    {
        DebouncedParamSender sender(nullptr);
        // Scheduled before the pause: still sent.
        sender.schedule("Saturation", "55", recorder());
        sender.setPaused(true);
        QVERIFY(sender.isPaused());
        // Scheduled while paused: forgotten, even after resuming.
        sender.schedule("ucWDRStrength", "30", recorder());
        QVERIFY(!sender.hasPending("ucWDRStrength"));
        QTRY_COMPARE(sends.size(), 1);
        QCOMPARE(sends.first().key, QString("Saturation"));
        sender.setPaused(false);
        QTest::qWait(150);
        QCOMPARE(sends.size(), 1);

        sender.schedule("ucWDRStrength", "31", recorder());
        QTRY_COMPARE(sends.size(), 2);
        QCOMPARE(sends.last().value, QString("31"));
    }

    void cancelAndDestroySendNothing()
    {
        {
            DebouncedParamSender sender(nullptr);
            sender.schedule("u8Gray", "50", recorder());
            sender.schedule("u8Black", "50", recorder());
            sender.cancelAll();
            QCOMPARE(sender.pendingCount(), 0);
            QTest::qWait(150);
            QCOMPARE(sends.size(), 0);
            // A cancelled key takes the next value normally.
            sender.schedule("u8Gray", "52", recorder());
            QTRY_COMPARE(sends.size(), 1);
            QCOMPARE(sends.first().value, QString("52"));
        }
        {
            auto *owner = new QObject;
            auto *sender = new DebouncedParamSender(owner);
            sender->schedule("u8White", "60", recorder());
            delete owner;
        }
        QTest::qWait(150);
        QCOMPARE(sends.size(), 1);
    }

    void sendFunctionMayScheduleAgainOrDestroyTheSender()
    {
        DebouncedParamSender sender(nullptr);
        DebouncedParamSender::SendFunction again = [&](const QString &key, const QString &value) {
            sends.append({key, value, clock.elapsed()});
            if (value == "1")
                sender.schedule(key, "2", again); // e.g. a retry of the same key
        };
        sender.schedule("Luminance", "1", again);
        QTRY_COMPARE(sends.size(), 2);
        QCOMPARE(sends[1].value, QString("2"));
        QCOMPARE(sender.pendingCount(), 0);

        QPointer<DebouncedParamSender> doomed = new DebouncedParamSender(nullptr);
        doomed->schedule("Contrast", "1", [&](const QString &key, const QString &value) {
            sends.append({key, value, clock.elapsed()});
            delete doomed.data();
        });
        doomed->schedule("Hue", "1", recorder());
        QTRY_VERIFY(doomed.isNull());
        QTest::qWait(150);
        QCOMPARE(sends.size(), 3); // the second key died with the sender
    }
};

QTEST_MAIN(TestDebouncedParamSender)
#include "test_debounced_param_sender.moc"
