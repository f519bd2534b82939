#include "build_config.h"
#include "command_line_options.h"

#include <QDir>
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
        QCOMPARE(CommandLineOptions::parse({"kestrane", "-style", "fusion", "--api-port", "8723"}).apiPort, quint16(8723));
        QCOMPARE(CommandLineOptions::parse({"kestrane"}).apiPort, quint16(0));
        o = CommandLineOptions::parse({"kestrane", "--visca-bind", "0.0.0.0", "--osc-port=9001"});
        QVERIFY(o.visca);
        QCOMPARE(o.viscaBind, QString("0.0.0.0"));
        QCOMPARE(o.oscPort, quint16(9001));
        QVERIFY(CommandLineOptions::parse({"kestrane", "--visca"}).visca);
    }

    void mistakes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("cliSyntax");
        QTest::newRow("vendor zero") << QStringList{"kestrane", "--vendor-id", "0"} << QString();
        QTest::newRow("vendor too big") << QStringList{"kestrane", "--vendor-id", "0x10000"} << QString();
        QTest::newRow("vendor text") << QStringList{"kestrane", "--vendor-id", "camera"} << QString();
        QTest::newRow("vendor missing") << QStringList{"kestrane", "a", "--vendor-id"} << QString();
        QTest::newRow("vendor text after others") << QStringList{"kestrane", "-style", "fusion", "--vendor-id=x"}
                                                  << QString();
        QTest::newRow("cli unknown option") << QStringList{"kestrane", "--frobnicate"} << QString("list");
        QTest::newRow("api port zero") << QStringList{"kestrane", "--api-port=0"} << QString();
        QTest::newRow("api port too big") << QStringList{"kestrane", "--api-port", "65536"} << QString();
        QTest::newRow("osc port text") << QStringList{"kestrane", "--osc-port", "osc"} << QString();
        QTest::newRow("visca address missing") << QStringList{"kestrane", "--visca-bind="} << QString();
        QTest::newRow("api port in the cli") << QStringList{"kestrane-cli", "--api-port", "8723", "list"} << QString("list");
    }
    void mistakes()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, cliSyntax);
        const CommandLineOptions o = CommandLineOptions::parse(args, cliSyntax);
        QVERIFY(!o.error.isEmpty());
        QVERIFY(o.helpText.startsWith("Usage: kestrane"));
    }

    void previewLut_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("button");
        QTest::addColumn<QString>("file"); // relative to the working directory
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << QStringList{"kestrane"} << false << QString() << true;
        QTest::newRow("button") << QStringList{"kestrane", "--lut-button"} << true << QString() << true;
        QTest::newRow("file") << QStringList{"kestrane", "--lut", "looks/warm.cube"} << true << "looks/warm.cube" << true;
        QTest::newRow("file=") << QStringList{"kestrane", "--lut=warm.cube", "--simulate"} << true << "warm.cube" << true;
        QTest::newRow("empty file") << QStringList{"kestrane", "--lut="} << false << QString() << false;
        QTest::newRow("no file") << QStringList{"kestrane", "--lut"} << false << QString() << false;
    }
    void previewLut()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, button);
        QFETCH(QString, file);
        QFETCH(bool, valid);
        const CommandLineOptions o = CommandLineOptions::parse(args);
        QCOMPARE(o.error.isEmpty(), valid);
        if (!valid)
            return;
        QCOMPARE(o.lutButton, button);
        QCOMPARE(o.lutFile, file.isEmpty() ? QString() : QDir::current().absoluteFilePath(file));
        QVERIFY(o.helpText.contains("--lut <FILE>"));
        QVERIFY(o.helpText.contains("--lut-button"));
        // The command-line tool has no preview.
        const CommandLineOptions cli = CommandLineOptions::parse({"kestrane-cli", "list"}, "list");
        QVERIFY(!cli.helpText.contains("--lut"));
        QVERIFY(!CommandLineOptions::parse({"kestrane-cli", "--lut-button", "list"}, "list").error.isEmpty());
    }

    void palettePageIsOffUnlessAsked()
    {
        QVERIFY(!CommandLineOptions::parse({"kestrane", "--simulate"}).palettePage);
        const CommandLineOptions o = CommandLineOptions::parse({"kestrane", "--palette-page", "--simulate=RV-T782-KB"});
        QVERIFY(o.error.isEmpty());
        QVERIFY(o.palettePage);
        QVERIFY(o.helpText.contains("--palette-page"));
        QVERIFY(!CommandLineOptions::parse({"kestrane-cli", "--palette-page", "list"}, "list").error.isEmpty());
    }

    void language_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("language"); // "!" for a refused line
        QTest::newRow("system's") << QStringList{"kestrane"} << "";
        QTest::newRow("en") << QStringList{"kestrane", "--lang", "en"} << "en";
        QTest::newRow("zh=") << QStringList{"kestrane", "--lang=zh", "--simulate"} << "zh";
        QTest::newRow("any case") << QStringList{"kestrane", "--lang", "EN"} << "en";
        QTest::newRow("unknown") << QStringList{"kestrane", "--lang", "fr"} << "!";
        QTest::newRow("missing") << QStringList{"kestrane", "--lang"} << "!";
        QTest::newRow("cli") << QStringList{"kestrane-cli", "--lang", "en", "list"} << "!";
    }
    void language()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, language);
        const CommandLineOptions o = CommandLineOptions::parse(args, args[0].endsWith("cli") ? "list" : "");
        QCOMPARE(o.error.isEmpty(), language != "!");
        if (language != "!") {
            QCOMPARE(o.language, language);
            QVERIFY(o.helpText.contains("--lang <LANG>"));
        }
    }

    // The window starts with any arguments: what is not the tool's own is left to the
    // application object (Qt's options among them) and never read as help or version.
    void guiLeavesOtherArgumentsToQt_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<bool>("simulate");
        QTest::newRow("plain words") << QStringList{"a", "b"} << QStringList{"a", "b"} << false;
        QTest::newRow("platform") << QStringList{"-platform", "offscreen"} << QStringList{"-platform", "offscreen"}
                                  << false;
        QTest::newRow("style sheet") << QStringList{"-stylesheet", "dark.qss", "-reverse"}
                                     << QStringList{"-stylesheet", "dark.qss", "-reverse"} << false;
        QTest::newRow("unknown option") << QStringList{"--frobnicate", "list"} << QStringList{"--frobnicate", "list"}
                                        << false;
        QTest::newRow("mixed with own") << QStringList{"-style", "fusion", "--simulate", "x", "--vendor-id", "0x2e7e"}
                                        << QStringList{"-style", "fusion", "x"} << true;
        QTest::newRow("preview options") << QStringList{"a", "--lut", "x.cube", "--lut-button", "--palette-page", "b"}
                                         << QStringList{"a", "b"} << false;
    }
    void guiLeavesOtherArgumentsToQt()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, left);
        QFETCH(bool, simulate);
        const CommandLineOptions o = CommandLineOptions::parse(QStringList{"kestrane"} + args);
        QVERIFY2(o.error.isEmpty(), qPrintable(o.error));
        QVERIFY(!o.helpRequested);
        QVERIFY(!o.versionRequested);
        QCOMPARE(o.positional, left);
        QCOMPARE(o.simulate, simulate);
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
