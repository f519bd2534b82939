#include "command_texts.h"
#include "log_manager.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestCommandTexts : public QObject {
    Q_OBJECT
private slots:
    void fixedQueries_data()
    {
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("direction") << CommandTexts::getDeviceDirection()
                                   << QByteArray(R"({"Cmd":"ReqGetDeviceDirection","Content":{}})");
        QTest::newRow("video") << CommandTexts::getVideoParam()
                               << QByteArray(R"({"Cmd": "ReqGetVideoParam", "wCmdId": 40001089})");
        QTest::newRow("setting") << CommandTexts::getSetting()
                                 << QByteArray(R"({"Cmd": "ReqGetSetting","Content" : {}})");
        QTest::newRow("hue") << CommandTexts::getHsvHueLut()
                             << QByteArray(R"({"Cmd": "ReqGetHSVHueLut","Content" : {}})");
        QTest::newRow("sta") << CommandTexts::getHsvStaLut()
                             << QByteArray(R"({"Cmd": "ReqGetHSVStaLut","Content" : {}})");
        QTest::newRow("faceids") << CommandTexts::getFaceIds() << QByteArray(R"({"Cmd":"ReqGetFaceIDs","Content":{}})");
        QTest::newRow("facenames") << CommandTexts::getFaceNames()
                                   << QByteArray(R"({"Cmd":"ReqGetFaceNames","Content":{}})");
        QTest::newRow("enabled") << CommandTexts::getEnabledFaceIds()
                                 << QByteArray(R"({"Cmd":"ReqGetEnabledFaceIds","Content":{}})");
        QTest::newRow("train?") << CommandTexts::getFaceFocusTrain()
                                << QByteArray(R"({"Cmd":"ReqGetFaceFocusTrain","Content":{}})");
        QTest::newRow("reboot") << CommandTexts::manualRebootSet()
                                << QByteArray(R"({"Cmd":"ReqSetManualRebootSet","Content":{}})");
        QTest::newRow("luminance")
            << CommandTexts::setVideoParam("Luminance", 70)
            << QByteArray(
                   R"({"Cmd":"ReqSetVideoParam","wCmdId":40001090,"Content":{"ChanNum":0,"VideoParam":{"Luminance":70}}})");
        QTest::newRow("focus")
            << CommandTexts::setFocusMode(6)
            << QByteArray(
                   R"({"Cmd":"ReqSetVideoParam","wCmdId":40001090,"Content":{"ChanNum":0,"VideoParam":{"ucFocusMode":6}}})");
        QTest::newRow("setsetting") << CommandTexts::setSetting("language", 1)
                                    << QByteArray(R"({"Cmd":"ReqSetSetting","Content":{"language":1}})");
        for (int cfg : {1, 255, 35, 36})
            QTest::newRow(qPrintable(QString("default%1").arg(cfg)))
                << CommandTexts::setDefaultParam(cfg)
                << QByteArray(R"({"Cmd":"ReqSetDefaultParam","wCmdId":40001093,"Content":{"ChanNum":0,"eDefaultParamCfg":)") +
                       QByteArray::number(cfg) + "}}";
        QTest::newRow("ptz") << CommandTexts::ptzCtrl("Down")
                             << QByteArray(R"({"Cmd":"ReqPtzCtrl","Content":{"PtzCmd":"Down"}})");
        QTest::newRow("preset")
            << CommandTexts::presetCtrl("Set", 2)
            << QByteArray(R"({"Cmd": "ReqPresetCtrl","Content" : {"PresetCmd": "Set","PresetID" : 2,"PresetName" : "Preset2"}})");
        QTest::newRow("facename") << CommandTexts::setFaceIdName(3, "Anna")
                                  << QByteArray(R"({"Cmd":"ReqSetFaceIdName","Content":{"ID":3,"Name":"Anna"}})");
        QTest::newRow("select") << CommandTexts::setFaceFocusTrainSelect(0)
                                << QByteArray(R"({"Cmd":"ReqSetFaceFocusTrain","Content":{"Type":"select","ID":0}})");
        QTest::newRow("train") << CommandTexts::setFaceFocusTrain("start", 5)
                               << QByteArray(R"({"Cmd":"ReqSetFaceFocusTrain","Content":{"Type":"start","ID":5}})");
        QTest::newRow("facemode") << CommandTexts::setEnabledFaceModeId(0)
                                  << QByteArray(R"({"Cmd":"ReqSetEnabledFaceModeId","Content":{"FaceModeId":0}})");
        QTest::newRow("portrait")
            << CommandTexts::setEnabledPortraitModeId(4)
            << QByteArray(R"({"Cmd":"ReqSetEnabledPortraitModeId","Content":{"PortraitModeId":4}})");
        QTest::newRow("delete") << CommandTexts::deleteFocusId(7)
                                << QByteArray(R"({"Cmd":"ReqDeleteFocusID","Content":{"ID":7}})");
        QTest::newRow("upgrade") << CommandTexts::upgradeRequest(1048576)
                                 << QByteArray(R"({"FileType": 2, "FileSize": 1048576})");
        QTest::newRow("name") << CommandTexts::deviceName("Cam") << QByteArray("{\"DeviceName\": \"Cam\"}\0", 22);
    }
    void fixedQueries()
    {
        QFETCH(QByteArray, actual);
        QFETCH(QByteArray, expected);
        QCOMPARE(actual, expected);
    }

    void colourTables()
    {
        QVector<int> v;
        for (int i = 0; i < 24; ++i)
            v << i - 12;
        const QByteArray hue = CommandTexts::setHsvHueLut(v);
        QCOMPARE(hue, QByteArray(R"({"Cmd":"ReqSetHSVHueLut","Content":{"HSV_Hue":[-12,-11,-10,-9,-8,-7,-6,-5,-4,-3,-2,-1,0,1,2,3,4,5,6,7,8,9,10,11]}})"));
        QVERIFY(CommandTexts::setHsvStaLut(v).startsWith(R"({"Cmd":"ReqSetHSVStaLut","Content":{"HSV_Sta":[-12,)"));
        QVERIFY(CommandTexts::setHsvHueLut(v.mid(0, 23)).isEmpty());
    }

    void namesAreEscaped()
    {
        const QByteArray t = CommandTexts::setFaceIdName(1, "a\"b\\c\nd%1");
        QCOMPARE(t, QByteArray(R"({"Cmd":"ReqSetFaceIdName","Content":{"ID":1,"Name":"a\"b\\c\nd%1"}})"));
        QJsonParseError err;
        const auto doc = QJsonDocument::fromJson(t, &err);
        QCOMPARE(err.error, QJsonParseError::NoError);
        QCOMPARE(doc.object()["Content"].toObject()["Name"].toString(), QString("a\"b\\c\nd%1"));
        // Chinese names stay UTF-8, unescaped.
        QCOMPARE(CommandTexts::deviceName("会议室").chopped(1), QString("{\"DeviceName\": \"会议室\"}").toUtf8());
        QCOMPARE(CommandTexts::presetCtrl("%2", 3),
                 QByteArray(R"({"Cmd": "ReqPresetCtrl","Content" : {"PresetCmd": "%2","PresetID" : 3,"PresetName" : "Preset3"}})"));
    }

    void overlongTextsAreRefused()
    {
        QVERIFY(CommandTexts::setFaceIdName(1, QString(1100, 'x')).isEmpty());
        QVERIFY(CommandTexts::deviceName(QString(1100, 'x')).isEmpty());
        // Exactly at the limit: 1023 characters fit with the terminator.
        const int overhead = int(CommandTexts::setFaceIdName(1, "").size());
        QCOMPARE(CommandTexts::setFaceIdName(1, QString(1023 - overhead, 'y')).size(), 1023);
        QVERIFY(CommandTexts::setFaceIdName(1, QString(1024 - overhead, 'y')).isEmpty());
    }

    void paletteText()
    {
        QList<QList<quint32>> table;
        for (int r = 0; r < 20; ++r) {
            QList<quint32> row;
            row << quint32(r) * 16777216u;
            for (int i = 1; i < 400; ++i)
                row << 0;
            table << row;
        }
        const QByteArray t = CommandTexts::paletteData(table);
        QVERIFY(t.startsWith(R"({"Cmd":"ReqSetPaletteData","wCmdId":40001090,"Content":{"ChanNum":0,"PaletteData":[[0,0,)"));
        QVERIFY(t.endsWith("]]}}"));
        const auto doc = QJsonDocument::fromJson(t);
        const auto rows = doc.object()["Content"].toObject()["PaletteData"].toArray();
        QCOMPARE(rows.size(), 17);
        QCOMPARE(rows[0].toArray().size(), 324);
        QCOMPARE(rows[16].toArray()[0].toDouble(), 268435456.0);
        QCOMPARE(CommandTexts::paletteData({}), QByteArray(R"({"Cmd":"ReqSetPaletteData","wCmdId":40001090,"Content":{"ChanNum":0,"PaletteData":[]}})"));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    LogManager::instance()->setConsoleOutput(false);
    TestCommandTexts t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_command_texts.moc"
