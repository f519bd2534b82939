#include "app_paths.h"
#include "log_manager.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <vector>

namespace {
QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
QString today()
{
    return QDate::currentDate().toString("yyyyMMdd");
}
} // namespace

class TestLogManager : public QObject {
    Q_OBJECT
    QTemporaryDir appDir;
    LogManager *lm = nullptr;

private slots:
    void initTestCase()
    {
        AppPaths::setApplicationDirOverride(appDir.path());
        lm = LogManager::instance();
        lm->setConsoleOutput(false);
        lm->installMessageHandler();
        QCOMPARE(LogManager::instance(), lm);
    }

    void bannerAndLineFormat()
    {
        const QString path = appDir.path() + "/logs/Kestrane_" + today() + ".log";
        QCOMPARE(lm->currentFilePath(), path);
        const QStringList lines = readAll(path).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 5);
        const QRegularExpression format(R"(^\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\] \[INFO\] \[Startup\] (.*)$)");
        QStringList messages;
        for (int i = 0; i < 5; ++i) {
            const auto m = format.match(lines[i]);
            QVERIFY2(m.hasMatch(), qPrintable(lines[i]));
            messages << m.captured(1);
        }
        QCOMPARE(messages[0], QString(40, '='));
        QVERIFY(messages[1].startsWith("应用程序启动 - "));
        QCOMPARE(messages[2], QString("Qt版本: ") + qVersion());
        QCOMPARE(messages[3], "应用程序路径: " + appDir.path());
        QCOMPARE(messages[4], QString(40, '='));
    }

    void recordsAndLevels()
    {
        QTemporaryDir dir;
        lm->setLogDirectory(dir.path());
        const QString path = dir.path() + "/Kestrane_" + today() + ".log";
        lm->log(DEBUG, "Device", "debug is written by default");
        lm->log(INFO, "User", "50% done, %1 kept literally, %2 too");
        lm->log(WARNING, "only a message");
        lm->log(LogLevel(9), "Odd", "no level name");
        lm->setLogLevel(WARNING);
        lm->log(INFO, "User", "filtered");
        lm->setLogLevel(DEBUG);
        const QString text = readAll(path);
        QVERIFY(text.contains("] [INFO] [Startup] 日志目录已设置为: " + dir.path() + "\n"));
        QVERIFY(text.contains("] [DEBUG] [Device] debug is written by default\n"));
        QVERIFY(text.contains("] [INFO] [User] 50% done, %1 kept literally, %2 too\n"));
        QVERIFY(text.contains("] [WARNING] [General] only a message\n"));
        QVERIFY(text.contains("] [] [Odd] no level name\n"));
        QVERIFY(!text.contains("filtered"));
        QVERIFY(!text.contains("日志级别已设置为: 2")); // filtered by the new level itself
        QVERIFY(text.contains("] [INFO] [Startup] 日志级别已设置为: 0\n"));
    }

    void qtMessagesGetContextSuffixes()
    {
        QTemporaryDir dir;
        lm->setLogDirectory(dir.path());
        QMessageLogContext none;
        qt_message_output(QtWarningMsg, none, "x");
        QMessageLogContext full("/src/a\\b/widget.cpp", 42, "void Widget::f()", "default");
        qt_message_output(QtDebugMsg, full, "y");
        qt_message_output(QtCriticalMsg, none, "z");
        qt_message_output(QtInfoMsg, none, "i");
        const QString text = readAll(lm->currentFilePath());
        QVERIFY(text.contains("] [WARNING] [General] x\n"));
        QVERIFY(text.contains("] [DEBUG] [General] y [File: widget.cpp] [Line: 42] [Func: void Widget::f()]\n"));
        QVERIFY(text.contains("] [CRITICAL] [General] z\n"));
        QVERIFY(text.contains("] [INFO] [General] i\n"));
    }

    void rotationAtTheLimit()
    {
        QTemporaryDir dir;
        lm->setLogDirectory(dir.path());
        const QString path = dir.path() + "/Kestrane_" + today() + ".log";
        for (int n = 1; n <= 5; ++n) {
            QFile f(path + "." + QString::number(n));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray::number(n));
        }
        const qint64 size = QFile(path).size();
        QVERIFY(size > 0);
        lm->setMaxFileSize(size + 1);
        lm->log(INFO, "Test", "below the limit"); // file is one byte short: no rotation
        QCOMPARE(readAll(path + ".1"), QString("1"));
        lm->setMaxFileSize(QFile(path).size()); // now exactly at the limit
        lm->log(INFO, "Test", "first line of the new file");
        lm->setMaxFileSize(10485760);
        const QStringList fresh = readAll(path).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(fresh.size(), 1);
        QVERIFY(fresh[0].endsWith("] [INFO] [Test] first line of the new file"));
        QVERIFY(readAll(path + ".1").contains("below the limit"));
        QCOMPARE(readAll(path + ".2"), QString("1"));
        QCOMPARE(readAll(path + ".3"), QString("2"));
        QCOMPARE(readAll(path + ".4"), QString("3"));
        QCOMPARE(readAll(path + ".5"), QString("4"));
        QVERIFY(!QFile::exists(path + ".6"));
    }

    void reopenedFileCountsItsOldContent()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + "/Kestrane_" + today() + ".log";
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100, 'o'));
        old.close();
        lm->setMaxFileSize(100);
        lm->setLogDirectory(dir.path()); // its own record finds the file full
        lm->setMaxFileSize(10485760);
        QCOMPARE(readAll(path + ".1"), QString(100, 'o'));
        QVERIFY(readAll(path).startsWith("["));
        QVERIFY(readAll(path).contains("日志目录已设置为: " + dir.path()));
    }

    void fallbackToTemporaryDirectory()
    {
        QTemporaryDir tmp;
        qputenv("TMPDIR", tmp.path().toUtf8());
        QFile blocker(tmp.path() + "/not-a-directory");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        lm->setLogDirectory(blocker.fileName() + "/logs");
        lm->log(INFO, "Test", "into the fallback");
        QCOMPARE(lm->currentFilePath(), tmp.path() + "/Kestrane.log");
        QVERIFY(readAll(tmp.path() + "/Kestrane.log").contains("] [INFO] [Test] into the fallback\n"));

        // The fallback file is rotated like the dated one.
        lm->setMaxFileSize(QFile(tmp.path() + "/Kestrane.log").size());
        lm->log(INFO, "Test", "first line after rotation");
        lm->log(INFO, "Test", "second line after rotation");
        lm->setMaxFileSize(10485760);
        QCOMPARE(lm->currentFilePath(), tmp.path() + "/Kestrane.log");
        QVERIFY(readAll(tmp.path() + "/Kestrane.log.1").contains("into the fallback"));
        const QStringList fresh = readAll(tmp.path() + "/Kestrane.log").split('\n', Qt::SkipEmptyParts);
        QCOMPARE(fresh.size(), 2);
        QVERIFY(fresh[0].endsWith("first line after rotation"));
        qunsetenv("TMPDIR");
    }

    void concurrentWritersNeverInterleave()
    {
        QTemporaryDir dir;
        lm->setLogDirectory(dir.path());
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([this, t] {
                for (int i = 0; i < 200; ++i)
                    lm->log(INFO, "Thread", QString("t%1 line %2 end").arg(t).arg(i));
            });
        for (auto &th : threads)
            th.join();
        const QStringList lines = readAll(lm->currentFilePath()).split('\n', Qt::SkipEmptyParts);
        int count = 0;
        for (const QString &line : lines)
            if (line.contains("[Thread]")) {
                QVERIFY2(line.endsWith(" end"), qPrintable(line));
                ++count;
            }
        QCOMPARE(count, 800);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestLogManager t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_log_manager.moc"
