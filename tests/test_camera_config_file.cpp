#include "builtin_param_pages.h"
#include "colour_tables.h"
#include "palette_label.h"
#include "colour_page.h"
#include "camera_config_file.h"
#include "camera_config_transfer.h"
#include "debounced_param_sender.h"
#include "file_dialogs.h"
#include "log_capture.h"
#include "sim_fixture.h"
#include "widget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {
const QString kSettingsKey = QStringLiteral("LastConfigPath");
const QString kFilter = QStringLiteral("配置文件 (*.config);;所有文件 (*.*)");

QByteArray setVideo(const QString &key, int value) {
    return QStringLiteral("{\"Cmd\":\"ReqSetVideoParam\",\"wCmdId\":40001090,\"Content\":{\"ChanNum\":0,"
                          "\"VideoParam\":{\"%1\":%2}}}")
        .arg(key)
        .arg(value)
        .toUtf8();
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A record whose named slots all differ, for format and log checks.
CameraParams numberedRecord() {
    CameraParams rec;
    for (int i = 0; i < CameraParams::kSlotCount; ++i)
        rec[i] = 1000 + i;
    rec.setSaturationFactor(1.25);
    rec[CameraParams::HueTable] = -64;
    return rec;
}

// A control panel with a simulated camera activated and the file dialogs answered.
struct Panel {
    explicit Panel(SimFixture &sim) : camera(sim.add("RV-K310A-WU", "Cam", "SN001")) {
        FileDialogs::setTestResponder([this](const FileDialogs::Request &request) {
            dialogs << request;
            return answer;
        });
        w = std::make_unique<Widget>();
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
        camera->clearReceived();
    }
    ~Panel() { FileDialogs::setTestResponder({}); }

    ParamControl *c(const QString &key) const { return w->paramPages()->control(key); }
    QSlider *slider(const QString &key) const { return c(key)->slider.slider; }
    QComboBox *combo(const QString &key) const { return c(key)->combo; }
    void settle() const { QTRY_COMPARE_WITH_TIMEOUT(w->paramSender()->pendingCount(), 0, 2000); }
    void exportTo(const QString &path) {
        answer = path;
        w->exportConfigAction()->trigger();
    }
    void importFrom(const QString &path) {
        answer = path;
        w->importConfigAction()->trigger();
    }
    QList<QByteArray> sets() const {
        QList<QByteArray> out;
        for (const auto &r : camera->receivedRequests())
            if (r.cmd.startsWith("ReqSet"))
                out << r.payload;
        return out;
    }
    QStringList setCmds() const {
        QStringList out;
        for (const auto &r : camera->receivedRequests())
            if (r.cmd.startsWith("ReqSet"))
                out << r.cmd;
        return out;
    }

    SimulatedCamera *camera;
    std::unique_ptr<Widget> w;
    QList<FileDialogs::Request> dialogs;
    QString answer;
};
} // namespace

class TestCameraConfigFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_settingsDir; // the user settings of this test run only
    QTemporaryDir m_files;

private slots:
    void initTestCase() {
        QVERIFY(m_settingsDir.isValid() && m_files.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settingsDir.path());
        QVERIFY(QSettings().fileName().startsWith(m_settingsDir.path()));
    }
    void init() { QSettings().remove(kSettingsKey); }

    void imageLayout() {
        const CameraParams rec = numberedRecord();
        const QByteArray image = CameraConfigFile::encode(rec);
        QCOMPARE(image.size(), 3084);
        QCOMPARE(image.left(4), QByteArray::fromHex("C0DE1234"));
        QCOMPARE(image.mid(4), rec.toBytes());
        QCOMPARE(image.mid(4, 4), QByteArray::fromHex("E8030000"));  // slot 0 = 1000
        QCOMPARE(image.mid(48, 4), QByteArray::fromHex("F3030000")); // slot 11 = 1011
        double factor = 0;
        memcpy(&factor, image.constData() + 4 + 24, 8);
        QCOMPARE(qFromLittleEndian(factor), 1.25);
        QCOMPARE(image.mid(4 + 81 * 4, 4), QByteArray::fromHex("C0FFFFFF")); // -64

        CameraParams back;
        QCOMPARE(CameraConfigFile::decode(image, back), CameraConfigFile::Status::Ok);
        QVERIFY(back == rec);
        QCOMPARE(back.saturationFactor(), 1.25);
    }

    void decodeRefusesBrokenImages_data() {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<int>("status");
        const QByteArray good = CameraConfigFile::encode(numberedRecord());
        using S = CameraConfigFile::Status;
        QTest::newRow("empty") << QByteArray() << int(S::TooShort);
        QTest::newRow("magic only") << good.left(4) << int(S::TooShort);
        QTest::newRow("one byte short") << good.left(3083) << int(S::TooShort);
        QTest::newRow("reversed magic") << QByteArray::fromHex("3412DEC0") + good.mid(4) << int(S::BadMagic);
        QTest::newRow("zero magic") << QByteArray(3084, '\0') << int(S::BadMagic);
        QTest::newRow("one byte more") << good + 'x' << int(S::Ok);
        QTest::newRow("two records") << good + good << int(S::Ok);
    }
    void decodeRefusesBrokenImages() {
        QFETCH(QByteArray, image);
        QFETCH(int, status);
        CameraParams rec;
        rec[11] = 42;
        QCOMPARE(int(CameraConfigFile::decode(image, rec)), status);
        if (status == int(CameraConfigFile::Status::Ok))
            QVERIFY(rec == numberedRecord());
        else
            QCOMPARE(rec[11], 42); // untouched
    }

    void logLinesNameEverySlot() {
        const CameraParams rec = numberedRecord();
        const QStringList lines = CameraConfigFile::logLines(rec);
        const auto fill = [&rec](QString text, const QList<int> &slotList) {
            for (int slot : slotList)
                text = text.arg(rec[slot]);
            return text;
        };
        QStringList hue, sat;
        for (int i = 0; i < 24; ++i) {
            hue << QString::number(rec[81 + i]);
            sat << QString::number(rec[105 + i]);
        }
        const QStringList expected = {
            fill("exp_mode=%1, exp_value=%2, exp_area=%3, shutter_speed=%4, iris=%5, gain_limit=%6",
                 {21, 22, 23, 24, 25, 26}),
            fill("gain=%1, BLC=%2, deFlicker=%3, WDR=%4, WDR_level=%5, HDR=%6", {27, 28, 29, 30, 31, 32}),
            fill("WB_mode=%1, WB_sensitivity=%2, color_temp=%3, rGain=%4, gGain=%5, bGain=%6",
                 {33, 34, 35, 36, 38, 37}),
            fill("ggGain=%1, rTurning=%2, gTurning=%3, bTurning=%4", {39, 40, 41, 42}),
            QString("hueDelta=%1, hueRange=%2, saturationFactor=1.25, R=%3, G=%4, B=%5")
                .arg(rec[4])
                .arg(rec[5])
                .arg(rec[8])
                .arg(rec[9])
                .arg(rec[10]),
            fill("brightness=%1, contrast=%2, saturation=%3, hue=%4, sharpness=%5", {11, 12, 13, 14, 15}),
            fill("ruddy=%1, sirose=%2, smoothEn=%3, smoothLevel=%4, uvcEn=%5", {16, 17, 18, 19, 20}),
            fill("mirror=%1, flip=%2, portrait=%3, scene=%4, screen=%5", {71, 72, 73, 74, 75}),
            fill("deyellow=%1, orange=%2, grey=%3, black=%4, white=%5", {43, 44, 45, 46, 47}),
            fill("nr2d=%1, nr3d=%2, hot_pixel=%3, defog=%4, defog_level=%5", {62, 63, 64, 65, 66}),
            fill("gamma=%1, ldc=%2, smart_exp=%3, distortion_correction=%4", {67, 68, 69, 70}),
            fill("focus_mode=%1, u8LensType=%2, tofchannel=%3, focus_priority=%4, focus_area=%5",
                 {50, 51, 52, 53, 54}),
            fill("focus_limit=%1, tofdistance=%2, focus_sensitivity=%3, focus_laser_range=%4, smart_focus=%5",
                 {55, 56, 57, 58, 59}),
            fill("zoomspeed=%1, dzoom=%2, digital_zooml=%3, style=%4", {48, 49, 76, 77}),
            fill("dn_mode=%1, dn_sensitivity=%2, language=%3, trace=%4, hgr=%5", {60, 61, 78, 79, 80}),
            "hueArrayValue:[" + hue.join(',') + "]",
            "satArrayValue:[" + sat.join(',') + "]",
        };
        QCOMPARE(lines, expected);
        QVERIFY(lines.last().startsWith("satArrayValue:[1105,1106,"));
        QVERIFY(lines.at(15).startsWith("hueArrayValue:[-64,1082,"));

        CameraParams zero;
        zero.setSaturationFactor(0.1);
        QVERIFY(CameraConfigFile::logLines(zero).at(4).contains("saturationFactor=0.1, "));
    }

    void exportWritesTheShownRecord() {
        SimFixture sim;
        Panel p(sim);
        LogCapture log;
        p.slider("Luminance")->setValue(23); // shown relative to 50
        p.settle();
        p.camera->clearReceived();
        const QString path = m_files.filePath("out %2 name.config");

        p.exportTo(path);

        QCOMPARE(p.dialogs.size(), 1);
        QCOMPARE(p.dialogs[0].kind, FileDialogs::Kind::Save);
        QCOMPARE(p.dialogs[0].caption, QString("导出相机配置"));
        QCOMPARE(p.dialogs[0].directory, QDir::currentPath() + "/camera.config");
        QCOMPARE(p.dialogs[0].filter, kFilter);
        QCOMPARE(p.dialogs[0].parent, p.w.get());

        const QByteArray bytes = readFile(path);
        QCOMPARE(bytes.size(), 3084);
        QCOMPARE(bytes.left(4), QByteArray::fromHex("C0DE1234"));
        QCOMPARE(bytes.mid(4), p.w->cameraParams().toBytes());
        QCOMPARE(bytes.mid(48, 4), QByteArray::fromHex("49000000")); // "Luminance" 73
        QCOMPARE(p.w->cameraParams()[11], 73);
        QCOMPARE(p.sets(), QList<QByteArray>()); // exporting sends nothing

        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].kind, MessageBoxRequest::TimedNotice);
        QCOMPARE(sim.boxes[0].title, QString("成功"));
        QCOMPARE(sim.boxes[0].text, "相机配置已成功导出到: " + path);
        QCOMPARE(sim.boxes[0].timeoutMs, 1000);

        QVERIFY(log.contains("[DEBUG] [Data] [EXPORT_PARAM] File: " + path + "\n"));
        QVERIFY(log.contains("[EXPORT_PARAM] brightness=73, contrast="));
        QVERIFY(log.contains("[EXPORT_PARAM] hueArrayValue:["));
        QVERIFY(log.contains("[EXPORT_PARAM] satArrayValue:["));
        QCOMPARE(log.count("[EXPORT_PARAM]"), 18);

        // Exporting again over the file replaces it whole.
        QVERIFY(writeFile(path, QByteArray(5000, 'z')));
        p.exportTo(path);
        QCOMPARE(readFile(path), CameraConfigFile::encode(p.w->cameraParams()));
    }

    void exportRefusedWhenTheFileCannotBeCreated_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing directory") << "no such dir/camera.config";
        QTest::newRow("a directory") << "adir";
    }
    void exportRefusedWhenTheFileCannotBeCreated() {
        QFETCH(QString, name);
        SimFixture sim;
        Panel p(sim);
        QVERIFY(QDir(m_files.path()).mkpath("adir"));
        const CameraParams before = p.w->cameraParams();
        p.slider("Contrast")->setValue(17);
        p.settle();
        const QString path = m_files.filePath(name);

        p.exportTo(path);

        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].kind, MessageBoxRequest::Styled);
        QCOMPARE(sim.boxes[0].title, QString("错误"));
        QVERIFY2(sim.boxes[0].text.startsWith("无法创建文件: "), qPrintable(sim.boxes[0].text));
        QVERIFY(sim.boxes[0].text.size() > QString("无法创建文件: ").size()); // with the reason
        QVERIFY(p.w->cameraParams() == before);                               // not collected
        QVERIFY(QFileInfo(path).isDir() || !QFileInfo::exists(path));
        QCOMPARE(QSettings().value(kSettingsKey).toString(), QFileInfo(path).absolutePath());
    }

    void exportIntoAFolderThatTakesNoNewFilesWritesInPlace() {
        SimFixture sim;
        Panel p(sim);
        const QString dir = m_files.filePath("locked"), path = dir + "/kept.config";
        QVERIFY(QDir().mkpath(dir) && writeFile(path, "old"));
        const auto writable = QFile::permissions(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner);
        const auto restore = qScopeGuard([&] { QFile::setPermissions(dir, writable); });
        if (QFile probe(dir + "/probe"); probe.open(QIODevice::WriteOnly))
            QSKIP("this user writes into any folder");
        p.exportTo(path);
        QCOMPARE(sim.boxes.value(0).text, QString("相机配置已成功导出到: ") + path);
        QCOMPARE(readFile(path), CameraConfigFile::encode(p.w->cameraParams()));
    }

    void failedWriteKeepsTheOldFile() {
#ifdef Q_OS_UNIX
        SimFixture sim;
        Panel p(sim);
        const QString path = m_files.filePath("kept.config");
        const QByteArray old = CameraConfigFile::encode(numberedRecord());
        QVERIFY(writeFile(path, old));

        // Files of this process may not grow past 1000 bytes while the export runs.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 1000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        p.exportTo(path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].title, QString("错误"));
        QVERIFY2(sim.boxes[0].text.startsWith("写入文件失败: "), qPrintable(sim.boxes[0].text));
        QCOMPARE(readFile(path), old); // neither truncated nor half written
        QCOMPARE(QDir(m_files.path()).entryList({"kept.config*"}, QDir::Files), QStringList({"kept.config"}));
#else
        QSKIP("needs a file size limit");
#endif
    }

    void importSendsEveryChangedValue() {
        SimFixture sim;
        Panel p(sim);
        const CameraParams shown = p.w->cameraParams();
        CameraParams file = shown;
        file[11] = 72; // "Luminance", a slider: 100 ms later
        file[62] = 30; // "uc2DNR", in tenths
        file[24] = 9;  // "uiMShutterSpeed", a combo: at once
        file[72] = 1;  // "bVertInvert", a switch
        file[78] = 0;  // "language", a setting
        file[3] = 77;  // no control: kept, never sent
        QList<int> hue = file.table(CameraParams::HueTable);
        hue[5] = 33;
        file.setTable(CameraParams::HueTable, hue);
        QList<int> sat = file.table(CameraParams::SaturationTable);
        sat[0] = 200;
        file.setTable(CameraParams::SaturationTable, sat);
        const QString path = m_files.filePath("changed.config");
        QVERIFY(writeFile(path, CameraConfigFile::encode(file)));
        LogCapture log;

        p.importFrom(path);

        QCOMPARE(p.dialogs.size(), 1);
        QCOMPARE(p.dialogs[0].kind, FileDialogs::Kind::Open);
        QCOMPARE(p.dialogs[0].caption, QString("导入相机配置"));
        QCOMPARE(p.dialogs[0].directory, QDir::currentPath());
        QCOMPARE(p.dialogs[0].filter, kFilter);
        QVERIFY(p.w->cameraParams() == file);
        QVERIFY(p.w->sendEnabled());
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].kind, MessageBoxRequest::TimedNotice);
        QCOMPARE(sim.boxes[0].title, QString("成功"));
        QCOMPARE(sim.boxes[0].text, QString("相机配置已成功导入"));
        QCOMPARE(sim.boxes[0].timeoutMs, 1000);
        QVERIFY(log.contains("[DEBUG] [Data] [IMPORT_PARAM] File: " + path + ", size: 3084 bytes\n"));
        QVERIFY(log.contains("[IMPORT_PARAM] brightness=72, "));
        QCOMPARE(log.count("[IMPORT_PARAM]"), 18);

        p.settle();
        const QList<QByteArray> sets = p.sets();
        for (const QByteArray &sent :
             {setVideo("Luminance", 72), setVideo("uc2DNR", 30), setVideo("uiMShutterSpeed", 9),
              setVideo("bVertInvert", 1), setVideo("eExposureMode", file[21]), setVideo("eWBMode", file[33]),
              setVideo("eSceneMode", file[74])})
            QVERIFY2(sets.contains(sent), sent.constData());
        QVERIFY(sets.contains(QByteArray("{\"Cmd\":\"ReqSetSetting\",\"Content\":{\"language\":0}}")));
        QCOMPARE(p.setCmds().count("ReqSetHSVHueLut"), 1);
        QCOMPARE(p.setCmds().count("ReqSetHSVStaLut"), 1);
        QCOMPARE(sets.size(), 10);

        // The camera holds the file's values, the pages show them.
        QCOMPARE(p.camera->videoParam("Luminance"), 72);
        QCOMPARE(p.camera->videoParam("uc2DNR"), 30);
        QCOMPARE(p.camera->videoParam("uiMShutterSpeed"), 9);
        QCOMPARE(p.camera->videoParam("bVertInvert"), 1);
        QCOMPARE(p.camera->setting("language"), 0);
        QCOMPARE(p.camera->state().hueTable().value(5), 33);
        QCOMPARE(p.camera->state().satTable().value(0), 200);
        QCOMPARE(p.camera->state().hueTable(), QVector<int>(hue.cbegin(), hue.cend()));
        QCOMPARE(p.slider("Luminance")->value(), 22);
        QCOMPARE(p.slider("uc2DNR")->value(), 3);
        QCOMPARE(p.combo("language")->currentIndex(), 0);
        QVERIFY(p.c("bVertInvert")->check->isChecked());
        QCOMPARE(p.w->colourTables()->table(HsvKind::Hue)[5], 33);
    }

    void importedTonesBringTheCamerasTables() {
        SimFixture sim;
        Panel p(sim);
        CameraParams file = p.w->cameraParams();
        file[43] = 70; // "u8Yellow": the camera derives its yellow saturation point (4) from it
        const QString path = m_files.filePath("tones.config");
        QVERIFY(writeFile(path, CameraConfigFile::encode(file)));
        p.importFrom(path);
        // The tables are read again once the tone has reached the camera.
        PaletteLabel *sat = p.w->colourPage()->satLabel();
        const int yellowPoint = file.table(CameraParams::SaturationTable)[4];
        QTRY_COMPARE_WITH_TIMEOUT(sat->values().at(4), yellowPoint + 20, 3000);
        QCOMPARE(sat->values(), p.camera->state().satTable());
    }

    void exportThenImportRoundTrips() {
        SimFixture sim;
        Panel p(sim);
        p.slider("Saturation")->setValue(-12);
        p.combo("uiMShutterSpeed")->setCurrentIndex(4);
        p.settle();
        const QString path = m_files.filePath("round.config");
        p.exportTo(path);
        const CameraParams exported = p.w->cameraParams();
        p.camera->clearReceived();
        sim.boxes.clear();

        p.importFrom(path);
        p.settle();

        QVERIFY(p.w->cameraParams() == exported);
        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].text, QString("相机配置已成功导入"));
        // Nothing changed on the pages: only the modes passed through no selection, the
        // scene and the two tables are sent.
        QCOMPARE(p.setCmds(), QStringList({"ReqSetVideoParam", "ReqSetVideoParam", "ReqSetVideoParam",
                                           "ReqSetHSVHueLut", "ReqSetHSVStaLut"}));
        QCOMPARE(p.sets().mid(0, 3), QList<QByteArray>({setVideo("eExposureMode", exported[21]),
                                                        setVideo("eWBMode", exported[33]),
                                                        setVideo("eSceneMode", exported[74])}));
        QCOMPARE(p.slider("Saturation")->value(), -12);
        QCOMPARE(readFile(path), CameraConfigFile::encode(exported)); // the file is only read

        // A second panel (another session) takes the same file.
        p.exportTo(m_files.filePath("again.config"));
        QCOMPARE(readFile(m_files.filePath("again.config")), readFile(path));
    }

    void cancelDoesNothing() {
        SimFixture sim;
        Panel p(sim);
        LogCapture log;
        const CameraParams before = p.w->cameraParams();
        p.slider("Contrast")->setValue(9);
        p.settle();
        p.camera->clearReceived();

        p.exportTo(QString());
        p.importFrom(QString());

        QCOMPARE(p.dialogs.size(), 2);
        QVERIFY(sim.boxes.isEmpty());
        QVERIFY(p.camera->receivedRequests().isEmpty());
        QVERIFY(p.w->cameraParams() == before);
        QVERIFY(!QSettings().contains(kSettingsKey));
        QVERIFY(p.w->lastConfigDir().isEmpty());
        QVERIFY(!log.contains("[EXPORT_PARAM]") && !log.contains("[IMPORT_PARAM]"));
    }

    void brokenFilesAreRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("box");
        const QByteArray good = CameraConfigFile::encode(numberedRecord());
        QTest::newRow("empty") << QByteArray() << "empty.config"
                               << "文件大小不正确，可能已损坏";
        QTest::newRow("header only") << good.left(4) << "header.config"
                                     << "文件大小不正确，可能已损坏";
        QTest::newRow("one byte short") << good.left(3083) << "short.config"
                                        << "文件大小不正确，可能已损坏";
        QTest::newRow("reversed magic") << QByteArray::fromHex("3412DEC0") + good.mid(4) << "swapped.config"
                                        << "无效的文件格式";
        QTest::newRow("text file") << QByteArray(4000, 'a') << "text.config"
                                   << "无效的文件格式";
        QTest::newRow("missing file") << QByteArray() << ""
                                      << "无法打开文件: ";
        QTest::newRow("a directory") << QByteArray() << "/"
                                     << "无法打开文件: ";
    }
    void brokenFilesAreRefused() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QString, box);
        SimFixture sim;
        Panel p(sim);
        LogCapture log;
        QString path;
        if (name.isEmpty()) {
            path = m_files.filePath("missing/none.config");
        } else if (name == "/") {
            path = m_files.filePath("dir.config");
            QVERIFY(QDir(m_files.path()).mkpath("dir.config"));
        } else {
            path = m_files.filePath(name);
            QVERIFY(writeFile(path, bytes));
        }
        const CameraParams before = p.w->cameraParams();
        const int shownBrightness = p.slider("Luminance")->value();

        p.importFrom(path);
        p.settle();

        QCOMPARE(sim.boxes.size(), 1);
        QCOMPARE(sim.boxes[0].kind, MessageBoxRequest::Styled);
        QCOMPARE(sim.boxes[0].title, QString("错误"));
        if (box.endsWith(": ")) {
            QVERIFY2(sim.boxes[0].text.startsWith(box), qPrintable(sim.boxes[0].text));
            QVERIFY(sim.boxes[0].text.size() > box.size());
        } else {
            QCOMPARE(sim.boxes[0].text, box);
        }
        QVERIFY(p.w->cameraParams() == before);
        QCOMPARE(p.slider("Luminance")->value(), shownBrightness);
        QVERIFY(p.camera->receivedRequests().isEmpty());
        QVERIFY(!log.contains("[IMPORT_PARAM]"));
        QCOMPARE(QSettings().value(kSettingsKey).toString(), QFileInfo(path).absolutePath());
        QCOMPARE(p.w->lastConfigDir(), QFileInfo(path).absolutePath());
    }

    void trailingBytesAreIgnored() {
        SimFixture sim;
        Panel p(sim);
        CameraParams file = p.w->cameraParams();
        file[12] = 61;
        const QByteArray good = CameraConfigFile::encode(file);
        const QString longer = m_files.filePath("longer.config");
        QVERIFY(writeFile(longer, good + char(0x7F)));
        LogCapture log;
        p.importFrom(longer);
        p.settle();
        QVERIFY(p.w->cameraParams() == file);
        QCOMPARE(p.camera->videoParam("Contrast"), 61);
        QVERIFY(log.contains("[IMPORT_PARAM] File: " + longer + ", size: 3085 bytes"));

        // A large file with a valid head: only the head is read.
        file[12] = 44;
        const QString large = m_files.filePath("large.config");
        {
            QFile f(large);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(CameraConfigFile::encode(file)), qint64(3084));
            QVERIFY(f.resize(qint64(512) * 1024 * 1024)); // sparse
        }
        p.importFrom(large);
        p.settle();
        QVERIFY(p.w->cameraParams() == file);
        QCOMPARE(p.camera->videoParam("Contrast"), 44);
        QVERIFY(log.contains(", size: 536870912 bytes"));
        QFile::remove(large);
    }

    void lastConfigPathRemembered() {
        SimFixture sim;
        QVERIFY(QDir(m_files.path()).mkpath("one/two"));
        const QString dirA = m_files.filePath("one");
        const QString dirB = m_files.filePath("one/two");
        {
            Panel p(sim);
            p.exportTo(dirA + "/a.config");
            QCOMPARE(p.w->lastConfigDir(), dirA);
            QCOMPARE(QSettings().value(kSettingsKey).toString(), dirA);
            p.importFrom(dirB + "/../two/missing.config"); // refused, still remembered
            QCOMPARE(QSettings().value(kSettingsKey).toString(), dirB);
            p.importFrom(QString());
            QCOMPARE(p.dialogs.last().directory, dirB);
            QCOMPARE(QSettings().value(kSettingsKey).toString(), dirB);
        }
        // Persisted for the next panel.
        Panel next(sim);
        next.exportTo(QString());
        QCOMPARE(next.dialogs.last().directory, dirB + "/camera.config");
        QCOMPARE(CameraConfigTransfer::lastDirectory(), dirB);
    }
};

QTEST_MAIN(TestCameraConfigFile)
#include "test_camera_config_file.moc"
