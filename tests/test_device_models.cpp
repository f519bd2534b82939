#include "device_models.h"

#include <QTest>

class TestDeviceModels : public QObject {
    Q_OBJECT
private slots:
    void table_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("icon");
        QTest::addColumn<int>("panel");
        QTest::addColumn<bool>("panSwap");
        QTest::addColumn<bool>("probe");
        QTest::addColumn<bool>("tables");
        auto row = [](const char *model, const char *name, const char *icon, PanelKind panel, bool swap, bool probe,
                      bool tables) {
            QTest::newRow(model) << QString::fromUtf8(model) << QString::fromUtf8(name) << QString(icon) << int(panel)
                                 << swap << probe << tables;
        };
        row("RV-K310A-WP-BEFA", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K312S-00", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K312H-MA", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K310A-GDR", "星瞳1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K310A-WP", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K310A-NRM", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K312E-QV", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K310E-WU", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-K310E-JYLO", "A1", "a1", PanelKind::WpBefa, false, true, true);
        row("RV-N906-PX", "D1", "d1", PanelKind::WpBefa, false, true, true);
        row("RV-K310A-LNQ", "QV-AI k4", "A1Max", PanelKind::Lnq, false, true, true);
        row("RV-T782-KB", "C5", "C5", PanelKind::T782, false, true, false);
        row("RV-T782-KB-BEFA", "C5", "C5", PanelKind::T782, false, true, false);
        row("RV-K310A-WU", "B1", "b1", PanelKind::BuiltIn, true, false, true);
        row("RV-K310A-WU-BEFA", "B1", "b1", PanelKind::BuiltIn, true, false, true);
        row("RV-K311E-FZ", "未知设备", "default", PanelKind::BuiltIn, true, true, true);
        row("XYZ-1", "未知设备", "default", PanelKind::None, false, true, true);
        row("", "未知设备", "default", PanelKind::None, false, true, true);
        // Containment ignores case; every other column compares exactly.
        row("rv-k310a-wu-befa", "B1", "b1", PanelKind::None, false, true, true);
        row("RV-K310A-NRM-2", "A1", "a1", PanelKind::None, false, true, true);
        row("X RV-K310A-WP-BEFA", "A1", "a1", PanelKind::None, false, true, true);
        row("rv-t782-kb-befa", "C5", "C5", PanelKind::None, false, true, true);
    }
    void table()
    {
        QFETCH(QString, model);
        QFETCH(QString, name);
        QFETCH(QString, icon);
        QFETCH(int, panel);
        QFETCH(bool, panSwap);
        QFETCH(bool, probe);
        QFETCH(bool, tables);
        QCOMPARE(displayNameForModel(model), name);
        QCOMPARE(iconBaseForModel(model), ":/icons/resources/icons/" + icon);
        QCOMPARE(int(panelKindForModel(model)), panel);
        QCOMPARE(isPanReversedModel(model), panSwap);
        QCOMPARE(supportsDirectionProbe(model), probe);
        QCOMPARE(readsColourTablesOnActivation(model), tables);
    }

    void seriesAliases()
    {
        QCOMPARE(cleanSeriesName("星瞳1"), QString("A1"));
        QCOMPARE(cleanSeriesName("A3"), QString("A1"));
        QCOMPARE(cleanSeriesName("QV-AI k4"), QString("A1"));
        QCOMPARE(cleanSeriesName("A1"), QString("A1"));
        QCOMPARE(cleanSeriesName(" A1"), QString(" A1"));
        QCOMPARE(cleanSeriesName("a3"), QString("a3"));
        QCOMPARE(cleanSeriesName("C5"), QString("C5"));
        QVERIFY(seriesMatches("A1", "星瞳1"));
        QVERIFY(!seriesMatches("B1", "A1"));
        QCOMPARE(seriesOfModel("RV-K311E-FZ"), QString());
        QCOMPARE(seriesOfModel("RV-N906-PX"), QString("D1"));
    }

    void seriesTableOrder()
    {
        const auto &t = seriesTable();
        QCOMPARE(t.size(), 4);
        QCOMPARE(t[0].name, QString("A1"));
        QCOMPARE(t[3].picture, QString(":/icons/resources/icons/Series_D.png"));
        for (const QString &code : knownModelCodes())
            QVERIFY2(panelKindForModel(code) != PanelKind::None, qPrintable(code));
    }
};

QTEST_GUILESS_MAIN(TestDeviceModels)
#include "test_device_models.moc"
