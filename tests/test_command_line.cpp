#include "build_config.h"
#include "command_line_options.h"

#include <QTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void simulateAndVendor()
    {
        CommandLineOptions o = CommandLineOptions::parse({"kestrane"});
        QVERIFY(o.error.isEmpty());
        QVERIFY(!o.simulate);
        QCOMPARE(o.vendorId, quint16(KESTRANE_DEFAULT_VENDOR_ID));

        o = CommandLineOptions::parse({"kestrane", "--simulate"});
        QVERIFY(o.simulate);
        QCOMPARE(o.simulatedModels, QStringList{"RV-K310A-WU"});

        o = CommandLineOptions::parse({"kestrane", "--simulate=RV-K310A-WU, RV-T782-KB,,RV-N906-PX"});
        QCOMPARE(o.simulatedModels, QStringList({"RV-K310A-WU", "RV-T782-KB", "RV-N906-PX"}));

        o = CommandLineOptions::parse({"kestrane", "--vendor-id", "0x1a2b"});
        QVERIFY(o.vendorIdOverridden);
        QCOMPARE(o.vendorId, quint16(0x1a2b));
        QCOMPARE(CommandLineOptions::parse({"kestrane", "--vendor-id=4660"}).vendorId, quint16(4660));
    }

    void mistakes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("vendor zero") << QStringList{"kestrane", "--vendor-id", "0"};
        QTest::newRow("vendor too big") << QStringList{"kestrane", "--vendor-id", "0x10000"};
        QTest::newRow("vendor text") << QStringList{"kestrane", "--vendor-id", "camera"};
        QTest::newRow("unknown option") << QStringList{"kestrane", "--frobnicate"};
        QTest::newRow("stray argument") << QStringList{"kestrane", "list"};
    }
    void mistakes()
    {
        QFETCH(QStringList, args);
        const CommandLineOptions o = CommandLineOptions::parse(args);
        QVERIFY(!o.error.isEmpty());
        QVERIFY(o.helpText.startsWith("Usage: kestrane"));
    }

    void cliTakesPositionals()
    {
        const CommandLineOptions o = CommandLineOptions::parse({"kestrane-cli", "--simulate", "set", "0", "Luminance", "70"},
                                                               "list | get INDEX");
        QVERIFY(o.error.isEmpty());
        QCOMPARE(o.positional, QStringList({"set", "0", "Luminance", "70"}));
        QVERIFY(CommandLineOptions::parse({"kestrane", "-h"}).helpRequested);
        QVERIFY(CommandLineOptions::parse({"kestrane", "--version"}).versionRequested);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
