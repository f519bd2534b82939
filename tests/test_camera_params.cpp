#include "camera_param_reader.h"
#include "camera_params.h"
#include "log_capture.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cstring>

namespace {
QByteArray videoReply(const QJsonObject &videoParam, int nResult = 0)
{
    QJsonObject content{{"nResult", nResult}, {"ChanNum", 0}, {"VideoParam", videoParam}};
    return QJsonDocument(QJsonObject{{"Cmd", "ReqGetVideoParam"}, {"Content", content}}).toJson(QJsonDocument::Compact);
}

QByteArray settingsReply(const QJsonObject &content)
{
    return QJsonDocument(QJsonObject{{"Cmd", "ReqGetSetting"}, {"Content", content}}).toJson(QJsonDocument::Compact);
}

CameraParams filled(qint32 value)
{
    CameraParams p;
    p.values.fill(value);
    return p;
}
} // namespace

class TestCameraParams : public QObject {
    Q_OBJECT
private slots:
    void recordLayout()
    {
        QCOMPARE(int(sizeof(CameraParams)), 3080);
        CameraParams p;
        QVERIFY(p == filled(0)); // a new record is all zeros

        p[0] = 0x01020304;
        p[11] = -1;
        p[769] = 0x7F;
        p.setSaturationFactor(1.25);
        const QByteArray bytes = p.toBytes();
        QCOMPARE(bytes.size(), 3080);
        QCOMPARE(bytes.left(4), QByteArray::fromHex("04030201")); // little-endian
        QCOMPARE(bytes.mid(44, 4), QByteArray::fromHex("ffffffff"));
        QCOMPARE(bytes.mid(3076, 4), QByteArray::fromHex("7f000000"));
        double d = 0;
        std::memcpy(&d, bytes.constData() + 24, 8); // slots 6–7, one little-endian double
        QCOMPARE(d, 1.25);

        CameraParams back;
        QVERIFY(!back.fromBytes(bytes.left(3079)));
        QVERIFY(back == CameraParams());
        QVERIFY(back.fromBytes(bytes + "trailing"));
        QVERIFY(back == p);
        QCOMPARE(back.saturationFactor(), 1.25);

        // Slot positions of the file format, spot-checked from both ends of the table.
        QMap<int, QString> keys;
        QMap<int, QString> labels;
        for (const auto &s : CameraParams::layout()) {
            keys[s.slot] = s.key;
            labels[s.slot] = s.fileLabel;
        }
        QCOMPARE(keys[15], QString("Hue"));
        QCOMPARE(labels[15], QString("sharpness"));
        QCOMPARE(keys[14], QString("ucHue"));
        QCOMPARE(keys[68], QString("ucCamCorrection"));
        QCOMPARE(keys[70], QString("ucCamCorrection"));
        QCOMPARE(labels[70], QString("distortion_correction"));
        QCOMPARE(keys[71], QString("bHorzInvert"));
        QCOMPARE(keys[72], QString("bVertInvert"));
        QCOMPARE(labels[6], QString("saturationFactor"));
        QCOMPARE(keys[80], QString("hgr"));
        QCOMPARE(labels[105], QString("satArrayValue"));

        p.setTable(CameraParams::HueTable, QList<int>(30, 7));
        QCOMPARE(p.table(CameraParams::HueTable), QList<int>(24, 7));
        QCOMPARE(p[CameraParams::SaturationTable], 0); // never past the 24 entries
    }

    void readIntField()
    {
        LogCapture log;
        const QJsonObject o = QJsonDocument::fromJson(
            R"({"a":5,"n":null,"f":50.5,"s":"7","b":true,"big":5000000000,"neg":-3})").object();
        QCOMPARE(CameraParamReader::readIntField(o, "a", 0), 5);
        QCOMPARE(CameraParamReader::readIntField(o, "neg", 0), -3);
        QCOMPARE(CameraParamReader::readIntField(o, "missing", 9), 9);
        QCOMPARE(CameraParamReader::readIntField(o, "n", 4), 4);
        QCOMPARE(CameraParamReader::readIntField(o, "f", 0), 0);
        QCOMPARE(CameraParamReader::readIntField(o, "s", 0), 0);
        QCOMPARE(CameraParamReader::readIntField(o, "b", 0), 0);
        QCOMPARE(CameraParamReader::readIntField(o, "big", 0), 0);
        QCOMPARE(log.count("缺少字段:"), 1);
        QVERIFY(log.contains("缺少字段: \"missing\""));
        QCOMPARE(log.count("字段值为空:"), 1);
        QVERIFY(log.contains("字段值为空: \"n\""));
    }

    void videoReplyWithOneKey()
    {
        LogCapture log;
        CameraParams p = filled(-7);
        const auto r = CameraParamReader::readVideoReply(videoReply({{"Luminance", 60}}), p,
                                                         CameraParamReader::refreshProfile());
        QCOMPARE(r, CameraParamReader::Result::Stored);
        QCOMPARE(p[11], 60);
        QCOMPARE(CameraParamReader::videoKeys().size(), 63);
        QCOMPARE(log.count("缺少字段:"), 62); // "u32AIFocus" and "ucCamCorrection" are read twice
        QVERIFY(log.contains("相机参数解析成功"));
        // Every listed slot became 0; slots without a video key kept their value.
        QSet<int> listed;
        for (const auto &k : CameraParamReader::videoKeys())
            listed << k.slot;
        for (int s = 0; s < CameraParams::kSlotCount; ++s) {
            if (s == 11)
                continue;
            QCOMPARE(p[s], listed.contains(s) ? 0 : -7);
        }
        for (int s : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 48, 49, 51, 52, 58, 81, 128, 129, 769})
            QVERIFY2(!listed.contains(s), qPrintable(QString::number(s)));
    }

    void videoReplyValues()
    {
        LogCapture log;
        CameraParams p;
        QJsonObject v{{"Hue", 70}, {"ucHue", 20}, {"ucCamCorrection", 3}, {"Luminance", 50.5}, {"u8LensType", 2},
                      {"Contrast", QJsonValue()}};
        CameraParamReader::readVideoReply(videoReply(v), p, CameraParamReader::refreshProfile());
        QCOMPARE(p[15], 70);
        QCOMPARE(p[14], 20);
        QCOMPARE(p[68], 3);
        QCOMPARE(p[70], 3);
        QCOMPARE(p[11], 0);                     // not integral: 0 ...
        QVERIFY(!log.contains("\"Luminance\"")); // ... without a warning
        QVERIFY(log.contains("字段值为空: \"Contrast\""));
        QCOMPARE(p[51], 0); // the lens type belongs to the selection load
        CameraParamReader::readVideoReply(videoReply(v), p, CameraParamReader::selectionProfile());
        QCOMPARE(p[51], 2);

        // No "VideoParam": every key is missing.
        const int before = log.count("缺少字段:");
        QJsonObject content{{"nResult", 0}};
        CameraParamReader::readVideoReply(
            QJsonDocument(QJsonObject{{"Content", content}}).toJson(), p, CameraParamReader::refreshProfile());
        QCOMPARE(log.count("缺少字段:") - before, 63);
    }

    void stopConditions()
    {
        LogCapture log;
        const CameraParams original = filled(3);
        CameraParams p = original;
        using R = CameraParamReader::Result;
        const auto refresh = CameraParamReader::refreshProfile();
        QCOMPARE(CameraParamReader::readVideoReply(videoReply({{"Luminance", 1}}, -1), p, refresh), R::Refused);
        QCOMPARE(CameraParamReader::readVideoReply("", p, refresh), R::ParseError);
        QCOMPARE(CameraParamReader::readVideoReply("{\"Content\":", p, refresh), R::ParseError);
        QCOMPARE(CameraParamReader::readVideoReply("[1,2]", p, refresh), R::NotAnObject);
        QVERIFY(p == original);
        QCOMPARE(log.count("JSON解析错误:"), 2);
        QCOMPARE(log.count("错误位置:"), 2);
        QVERIFY(log.contains("原始数据: \"7b22436f6e74656e74223a\""));
        CameraParamReader::readVideoReply("x", p, CameraParamReader::selectionProfile());
        QVERIFY(log.contains("JSON parse error:"));
        QVERIFY(log.contains("error offset :"));
        QVERIFY(log.contains("original data:"));

        // The sequence: nothing after a failed video reply; the settings reply stops on its own.
        QStringList asked;
        QByteArray video = videoReply({{"Luminance", 1}}, -1);
        QByteArray settings = settingsReply({{"nResult", 0}, {"language", 1}});
        const auto exchange = [&](const QByteArray &request) {
            asked << QString::fromUtf8(request);
            return request.contains("ReqGetVideoParam") ? video : settings;
        };
        bool shown = false;
        qint32 sleep = 9;
        QVERIFY(!CameraParamReader::read(exchange, refresh, p, &sleep, [&] { shown = true; }));
        QCOMPARE(asked, QStringList{"{\"Cmd\": \"ReqGetVideoParam\", \"wCmdId\": 40001089}"});
        QVERIFY(!shown);

        video = videoReply({{"Luminance", 61}});
        settings = settingsReply({{"nResult", -2}, {"language", 1}});
        QVERIFY(!CameraParamReader::read(exchange, refresh, p, &sleep, [&] { shown = true; }));
        QCOMPARE(asked.last(), QString("{\"Cmd\": \"ReqGetSetting\",\"Content\" : {}}"));
        QVERIFY(shown);
        QCOMPARE(p[11], 61);
        QCOMPARE(p[78], 3); // settings slots untouched
        QCOMPARE(sleep, 9);
    }

    void settingsReplyValues()
    {
        LogCapture log;
        CameraParams p;
        qint32 sleep = 5;
        const auto r = CameraParamReader::readSettingsReply(settingsReply({{"nResult", 0}, {"language", 1}, {"trace", 1}, {"hgr", 0}}), p,
                                                            &sleep, CameraParamReader::selectionProfile());
        QCOMPARE(r, CameraParamReader::Result::Stored);
        QCOMPARE(p[78], 1);
        QCOMPARE(p[79], 1);
        QCOMPARE(p[80], 0);
        QCOMPARE(sleep, 0);
        QCOMPARE(log.count("缺少字段:"), 1);
        QVERIFY(log.contains("缺少字段: \"sleep\""));
        QVERIFY(log.contains("language： 1"));
        QVERIFY(log.contains("sleep 0"));
    }
};

QTEST_GUILESS_MAIN(TestCameraParams)
#include "test_camera_params.moc"
