// Hostile bytes from a camera or a file, thrown at every parser: nothing may crash,
// hang or read out of bounds (the suite runs under AddressSanitizer), and what cannot
// be read must not change what was there.
#include "camera_param_reader.h"
#include "camera_params.h"
#include "command_texts.h"
#include "log_capture.h"
#include "lut3d.h"
#include "packet_cmd.h"
#include "packet_codec.h"
#include "reply_router.h"

#include <QRandomGenerator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <memory>

namespace {
// Well-formed replies of every kind the tool reads, as mutation seeds.
const QList<QByteArray> &seeds()
{
    static const QList<QByteArray> list = {
        R"({"Cmd":"ReqGetVideoParam","Content":{"nResult":0,"VideoParam":{"Luminance":50,"Contrast":40,"Hue":7,"eWBMode":1}}})",
        R"({"Cmd":"ReqGetSetting","Content":{"nResult":0,"language":1,"trace":0,"hgr":1,"sleep":0}})",
        R"({"Content":{"nResult":0,"HSV_Hue":[1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24]}})",
        R"({"Content":{"FaceIDs":[1,2,3],"FaceNames":["a","b"],"EnabledFaceId":2,"FaceModeId":1,"PortraitModeId":3}})",
        R"({"Content":{"nDirection":2,"Statue":"run_done"}})",
        R"({"DeviceName":"Cam","ProductModel":"RV-K310A-WU","Serial":"SN123","BuildDate":"2024"})",
        R"({"UpdateStatus":1,"Progress":42})",
    };
    return list;
}

QByteArray mutate(QByteArray text, QRandomGenerator &rng)
{
    const int edits = 1 + int(rng.bounded(6));
    for (int e = 0; e < edits && !text.isEmpty(); ++e) {
        const int at = int(rng.bounded(int(text.size())));
        switch (rng.bounded(6)) {
        case 0: text[at] = char(rng.bounded(256)); break;                    // flip a byte
        case 1: text.remove(at, 1 + int(rng.bounded(8))); break;             // cut
        case 2: text.insert(at, text.mid(int(rng.bounded(int(text.size()))), 12)); break; // splice
        case 3: text.truncate(at); break;                                    // truncate
        case 4: text.insert(at, "1e999"); break;                             // huge number
        default: text.insert(at, QByteArray(int(rng.bounded(40)), '[')); break; // deep nesting
        }
    }
    return text;
}
} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { m_log = std::make_unique<LogCapture>(); }

    void replyRouterSurvivesAnything()
    {
        int current = 0;
        ReplyRouter::State state;
        state.currentIndex = &current;
        state.deviceInfoQuery = true;
        ReplyRouter router(&state);
        int identities = 0;
        connect(&router, &ReplyRouter::deviceIdentified, this, [&identities] { ++identities; });
        QRandomGenerator rng(1234);
        for (int i = 0; i < 3000; ++i) {
            const QByteArray payload = mutate(seeds()[i % seeds().size()], rng);
            QByteArray packet = PacketCodec::buildReply(CmdJson, payload, rng.bounded(2) == 0);
            if (i % 7 == 0)
                packet.truncate(int(rng.bounded(int(packet.size()) + 1))); // short reads
            if (i % 11 == 0)
                PacketCodec::writeU16(packet.data() + qMin(8, int(packet.size()) - 2), 0xFFFF);
            router.route(packet, int(rng.bounded(3)) - 1);
        }
        // Raw noise, with and without the magic.
        for (int i = 0; i < 500; ++i) {
            QByteArray noise(int(rng.bounded(1100)), '\0');
            for (char &c : noise)
                c = char(rng.bounded(256));
            if (i % 2 && noise.size() >= 4)
                noise.replace(0, 4, "FDTH");
            router.route(noise, 0);
        }
        QVERIFY(identities > 0); // the untouched identity replies still got through
    }

    void parameterRepliesNeverCorruptTheRecord()
    {
        QRandomGenerator rng(99);
        for (int i = 0; i < 2000; ++i) {
            CameraParams params;
            for (int s = 0; s < 770; ++s)
                params[s] = 1000 + s;
            const CameraParams before = params;
            const QByteArray reply = mutate(seeds()[i % 2], rng);
            qint32 sleep = 0;
            const auto result = i % 2 == 0
                                    ? CameraParamReader::readVideoReply(reply, params, CameraParamReader::refreshProfile())
                                    : CameraParamReader::readSettingsReply(reply, params, &sleep,
                                                                           CameraParamReader::refreshProfile());
            if (!CameraParamReader::proceeds(result))
                QVERIFY(std::memcmp(&params, &before, sizeof params) == 0);
            // Slots without a camera key never change, whatever the reply holds.
            for (int s : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 48, 49, 52, 58, 200, 769})
                QCOMPARE(params[s], before[s]);
        }
    }

    void cubeFilesNeverCrashAndFailuresKeepTheCube()
    {
        QTemporaryDir dir;
        QString good = "TITLE \"t\"\nDOMAIN_MIN 0 0 0\nDOMAIN_MAX 1 1 1\nLUT_3D_SIZE 2\n";
        for (int i = 0; i < 8; ++i)
            good += QString("%1 %2 %3\n").arg(i & 1).arg((i >> 1) & 1).arg((i >> 2) & 1);
        Lut3d lut;
        const QString path = dir.filePath("x.cube");
        auto write = [&path](const QByteArray &bytes) {
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            f.write(bytes);
        };
        write(good.toUtf8());
        QVERIFY(lut.loadLUT(path));
        QRandomGenerator rng(5);
        for (int i = 0; i < 300; ++i) {
            write(mutate(good.toUtf8(), rng));
            if (!lut.loadLUT(path))
                QCOMPARE(lut.lutSize(), 2); // a file that cannot be read leaves the cube alone
        }
        write("LUT_3D_SIZE 2000000000\n0 0 0\n");
        QVERIFY(!lut.loadLUT(path));
    }

    void commandTextsStayInsideTheirBuffer()
    {
        QRandomGenerator rng(17);
        for (int i = 0; i < 500; ++i) {
            QString name;
            const int n = int(rng.bounded(1200));
            for (int c = 0; c < n; ++c)
                name += QChar(char16_t(1 + rng.bounded(0xD7FF)));
            for (const QByteArray &text : {CommandTexts::setFaceIdName(i, name), CommandTexts::deviceName(name),
                                           CommandTexts::ptzCtrl(name), CommandTexts::presetCtrl(name, i)}) {
                QVERIFY(text.size() <= CommandTexts::kBufferSize);
                if (!text.isEmpty())
                    QVERIFY(!PacketCodec::buildRequest(CmdJson, text.constData(), int(text.size())).isEmpty() ||
                            text.size() > PacketCodec::kMaxSinglePayload);
            }
        }
    }

private:
    std::unique_ptr<LogCapture> m_log; // keeps thousands of refusals out of the test output
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "test_hostile_input.moc"
