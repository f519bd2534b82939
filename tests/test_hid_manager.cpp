#include "hid_manager.h"
#include "log_capture.h"
#include "scripted_hid_backend.h"

#include <QSignalSpy>
#include <QTest>

class TestHidManager : public QObject {
    Q_OBJECT
    ScriptedHidBackend *backend = nullptr;

private slots:
    void init()
    {
        backend = new ScriptedHidBackend;
        HidBackend::setActive(backend);
    }
    void cleanup()
    {
        QCOMPARE(HIDManager::liveManagers(), 0);
        HidBackend::setActive(nullptr);
        delete backend;
    }

    void readAndWriteWithoutDevice()
    {
        LogCapture log;
        HIDManager m;
        QSignalSpy received(&m, &HIDManager::dataReceived);
        const QByteArray r = m.readData(10, nullptr);
        QCOMPARE(r, QByteArray(1025, '\0'));
        QCOMPARE(m.writeData("x"), -1);
        QVERIFY(log.contains("[CRITICAL] [HID] 尝试读取数据时设备未打开"));
        QVERIFY(log.contains("[CRITICAL] [HID] 尝试写入数据时设备未打开"));
        QCOMPARE(received.count(), 0);
        QCOMPARE(backend->readCalls, 0);
    }

    void readOutcomes()
    {
        HIDManager m;
        QVERIFY(m.openDevice("scripted:0"));
        QSignalSpy received(&m, &HIDManager::dataReceived);
        QSignalSpy errors(&m, &HIDManager::errorOccurred);
        int tag = 7;

        // Time-out: a zero report, nothing emitted, the caller's time-out passed on.
        QCOMPARE(m.readData(3000, &tag), QByteArray(1025, '\0'));
        QCOMPARE(backend->lastTimeout, 3000);
        QCOMPARE(received.count(), 0);

        // A real report: exactly its bytes, emitted once with the caller's arg.
        QByteArray report(1024, 'r');
        backend->queueReport(report);
        QCOMPARE(m.readData(3000, &tag), report);
        QCOMPARE(received.count(), 1);
        QCOMPARE(received[0][0].toByteArray(), report);
        QCOMPARE(received[0][1].value<void *>(), static_cast<void *>(&tag));

        // An error: a clean zero report even if the library scribbled into the buffer.
        LogCapture log;
        backend->reads.push_back({-1, QByteArray(20, 'z')});
        QCOMPARE(m.readData(3000, &tag), QByteArray(1025, '\0'));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors[0][0].toString(), QString("读取失败: scripted failure"));
        QVERIFY(log.contains("[CRITICAL] [HID] 读取失败: scripted failure"));
        QCOMPARE(received.count(), 1);
    }

    void writeFailureIsReported()
    {
        LogCapture log;
        HIDManager m;
        QVERIFY(m.openDevice("scripted:0"));
        QSignalSpy errors(&m, &HIDManager::errorOccurred);
        backend->writeResult = -1;
        QCOMPARE(m.writeData(QByteArray(1025, '\0')), -1);
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors[0][0].toString(), QString("写入失败: scripted failure"));
        QVERIFY(log.contains("[CRITICAL] [HID] 写入失败: scripted failure"));
        backend->writeResult = -2;
        QCOMPARE(m.writeData(QByteArray(1025, '\0')), 1025);
    }

    void openCloseSequence()
    {
        LogCapture log;
        HIDManager m;
        QSignalSpy errors(&m, &HIDManager::errorOccurred);
        QVERIFY(m.openDevice("scripted:0"));
        QVERIFY(m.openDevice("scripted:0"));
        const QString text = log.text();
        const int firstClose = text.indexOf("[INFO] [HID] 关闭HID设备");
        const int secondOpen = text.indexOf("尝试打开HID设备: scripted:0", text.indexOf("HID设备打开成功"));
        QVERIFY(firstClose > 0);
        QVERIFY(secondOpen > firstClose);

        QVERIFY(!m.openDevice("scripted:9"));
        QVERIFY(!m.isOpen());
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors[0][0].toString(), QString("无法打开设备: scripted:9"));
        QVERIFY(log.contains("[CRITICAL] [HID] 无法打开设备: scripted:9"));

        QVERIFY(m.openDevice("scripted:0"));
        m.closeDevice();
        m.closeDevice(); // nothing open: nothing logged
        m.waitForDeviceClose(500);
        const QString tail = log.text();
        QCOMPARE(tail.count("关闭HID设备"), 3);
        QVERIFY(tail.contains("[INFO] [HID] 等待设备关闭，超时=500ms"));
        QVERIFY(tail.contains("[INFO] [HID] 设备关闭完成"));
        QVERIFY(!tail.contains("设备关闭超时"));
    }

    void enumerationAndLibraryLifetime()
    {
        QVERIFY(HIDManager().enumerateDevices(0x1234).isEmpty());
        QCOMPARE(backend->exitCalls, 1);
        auto *holder = new HIDManager;
        QVERIFY(holder->openDevice("scripted:0"));
        {
            HIDManager scanner;
            QCOMPARE(scanner.enumerateDevices(0x2E7E).size(), 1);
        }
        // The scanner went away while another manager holds an open device.
        QCOMPARE(backend->exitCalls, 1);
        delete holder;
        QCOMPARE(backend->exitCalls, 2);
    }

    void initFailure()
    {
        LogCapture log;
        backend->initResult = -1;
        HIDManager m;
        QVERIFY(log.contains("[CRITICAL] [HID] HID API初始化失败"));
    }
};

QTEST_GUILESS_MAIN(TestHidManager)
#include "test_hid_manager.moc"
