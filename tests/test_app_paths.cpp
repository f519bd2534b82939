#include "app_paths.h"
#include "log_manager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// Where the tool writes its files: beside the executable only when that directory is
// the tool's own and writable.
class TestAppPaths : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString m_readOnly;

    QString makeDir(const QString &relative)
    {
        const QString path = m_root.filePath(relative);
        QDir().mkpath(path);
        return path;
    }

    // A directory nobody may write to. Root writes into a chmod 0555 directory all the
    // same, so it gets a read-only file system instead.
    QString readOnlyDir()
    {
        const QString path = makeDir("readonly/bin-ro");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        QFile probe(path + "/probe");
        if (!probe.open(QIODevice::WriteOnly))
            return path;
        probe.remove();
        return QStringLiteral("/proc");
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_DATA_HOME", m_root.filePath("home-data").toLocal8Bit());
        m_readOnly = readOnlyDir();
    }

    void cleanupTestCase()
    {
        QFile::setPermissions(m_root.filePath("readonly/bin-ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void ownWritableDir_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<bool>("own");
        QTest::newRow("portable copy") << makeDir("portable") << true;
        QTest::newRow("a bin folder without share beside it") << makeDir("unpacked/bin") << true;
        QTest::newRow("installed prefix") << (makeDir("prefix/share"), makeDir("prefix/bin")) << false;
        QTest::newRow("package unpacked into a root") << (makeDir("root/usr/share"), makeDir("root/usr/bin")) << false;
        QTest::newRow("system bin") << "/usr/bin" << false;
        QTest::newRow("system local bin") << "/usr/local/bin/" << false;
        QTest::newRow("read-only") << m_readOnly << false;
        QTest::newRow("missing") << m_root.filePath("not-there") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void ownWritableDir()
    {
        QFETCH(QString, dir);
        QFETCH(bool, own);
        QCOMPARE(AppPaths::isOwnWritableDir(dir), own);
        if (!dir.isEmpty() && QFileInfo(dir).isDir())
            QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).filter("kestrane-write-test"),
                     QStringList()); // the probe leaves nothing behind
    }

    void filesFollowTheApplicationDir()
    {
        const QString portable = makeDir("portable2");
        AppPaths::setApplicationDirOverride(portable);
        QVERIFY(AppPaths::isPortable());
        QCOMPARE(AppPaths::filesDir(), portable);

        AppPaths::setApplicationDirOverride(m_readOnly);
        QVERIFY(!AppPaths::isPortable());
        QCOMPARE(AppPaths::filesDir(), m_root.filePath("home-data/kestrane"));
        QVERIFY(QFileInfo(AppPaths::filesDir()).isDir());
    }

    // The log of a build whose executable directory is read-only goes to the user's
    // data directory, never into the executable's directory.
    void logOfAReadOnlyInstall()
    {
        AppPaths::setApplicationDirOverride(m_readOnly);
        LogManager::setInitialConsoleOutput(false);
        LogManager *log = LogManager::instance();
        const QString logDir = m_root.filePath("home-data/kestrane/logs");
        QCOMPARE(log->logDirectory(), logDir);
        QVERIFY(log->currentFilePath().startsWith(logDir + "/Kestrane_"));
        QVERIFY(QFileInfo(log->currentFilePath()).size() > 0);
        QVERIFY(!QFileInfo::exists(m_readOnly + "/logs"));
    }
};

QTEST_GUILESS_MAIN(TestAppPaths)
#include "test_app_paths.moc"
