#include "app_paths.h"
#include "file_dialogs.h"
#include "message_boxes.h"
#include "mouse_events.h"
#include "palette_control_panel.h"
#include "palette_lut.h"
#include "polar_palette_widget.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace MouseEvents;

namespace {

QPoint at(const ControlPoint &p) {
    return QPoint(qRound(p.x), qRound(p.y));
}

const ControlPoint &pointOf(const PolarPaletteWidget &w, int angle, int ring) {
    for (const ControlPoint &p : w.controlPoints())
        if (p.angleIdx == angle && p.radiusIdx == ring)
            return p;
    qFatal("no such point");
}

// Where a drag rotates `p` by `degrees` around the centre, at the same distance.
QPoint turned(const PolarPaletteWidget &w, const ControlPoint &p, double degrees, double scale = 1.0) {
    const QPointF c = w.centre();
    const double a = std::atan2(p.originalY - c.y(), p.originalX - c.x()) + degrees * M_PI / 180.0;
    const double r = std::hypot(p.originalX - c.x(), p.originalY - c.y()) * scale;
    return QPoint(qRound(c.x() + r * std::cos(a)), qRound(c.y() + r * std::sin(a)));
}

QRgb cube(const PolarPaletteWidget &w, int r, int g, int b) {
    return w.colourCube()[PaletteLut::cubeIndex(r, g, b)];
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool shown(QWidget &w, QSize size = QSize(600, 600)) {
    w.resize(size);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

void writeFile(const QString &path, const QByteArray &text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

class TestPolarPalette : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QList<MessageBoxRequest> m_boxes;
    QString m_chosenFile;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QDir::setCurrent(m_dir.path());
        AppPaths::setApplicationDirOverride(m_dir.path()); // the hex file goes to the files directory
        MessageBoxes::setTestResponder([this](const MessageBoxRequest &r) {
            m_boxes.append(r);
            return int(QMessageBox::Ok);
        });
        FileDialogs::setTestResponder([this](const FileDialogs::Request &) { return m_chosenFile; });
    }
    void init() { m_boxes.clear(); }

    void withoutAdjustmentTheCubeKeepsTheLevelsAndTheTableOnlyItsHeaders() {
        PolarPaletteWidget w;
        w.generate3DLUT();
        for (int r = 0; r < PaletteLut::kLevels; ++r)
            for (int g = 0; g < PaletteLut::kLevels; ++g)
                for (int b = 0; b < PaletteLut::kLevels; ++b)
                    QCOMPARE(cube(w, r, g, b), qRgb(PaletteLut::levelValue(r), PaletteLut::levelValue(g),
                                                    PaletteLut::levelValue(b)));
        w.convertToHisiFormat();
        QCOMPARE(w.hisiTable().size(), 17);
        for (int r = 0; r < 17; ++r) {
            QList<quint32> expected(324, 0u);
            expected[0] = quint32(r) << 24;
            QCOMPARE(w.hisiTable()[r], expected);
        }
        const QList<QByteArray> lines = readFile("hisi_output_hex.txt").split('\n');
        QCOMPARE(lines.size(), 18); // 17 lines, each ended
        QVERIFY(lines.first().startsWith("00000000 "));
        QVERIFY(lines[16].startsWith("10000000 "));
        for (int i = 0; i < 17; ++i) {
            QCOMPARE(lines[i].size(), 324 * 9);
            for (int k = 0; k < 324; ++k)
                QCOMPARE(lines[i][k * 9 + 8], ' ');
        }
    }

    void theSmallestChangeCarriesTheCubeColours() {
        PolarPaletteWidget w;
        w.setCellAdjustment(5, 5, 0.0f, 0.002f);
        w.generate3DLUT();
        w.convertToHisiFormat();
        QCOMPARE(w.hisiTable()[16][1 + 17 * 16 + 16], 0x00FFFFFFu);
        QCOMPARE(w.hisiTable()[16][1 + 16], 0x00FF00FFu);
        QCOMPARE(w.hisiTable()[16][290], 0u);
        const QList<QByteArray> tokens = readFile("hisi_output_hex.txt").split('\n')[16].split(' ');
        QCOMPARE(tokens[1 + 17 * 16 + 16], QByteArray("00FFFFFF"));
    }

    void headerPacksRowAndTruncatedMeans_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<float>("meanSat");
        QTest::addColumn<float>("meanHue");
        QTest::addColumn<quint32>("header");
        QTest::newRow("means") << 0 << 0.1234f << -5.5f << 0x00000CFBu;
        QTest::newRow("row 16") << 16 << 0.0f << 0.0f << 0x10000000u;
        QTest::newRow("negative") << 3 << -0.5f << 179.9f << 0x0300CEB3u;
        QTest::newRow("towards zero") << 1 << -0.009f << -0.99f << 0x01000000u;
        QTest::newRow("wraps") << 2 << 3.0f << 300.0f << 0x02002C2Cu;
    }
    void headerPacksRowAndTruncatedMeans() {
        QFETCH(int, row);
        QFETCH(float, meanSat);
        QFETCH(float, meanHue);
        QFETCH(quint32, header);
        QCOMPARE(PaletteLut::headerWord(row, meanSat, meanHue), header);
    }

    void theTableHeaderCarriesTheMeansOfAllCells() {
        PaletteTable s(24, QVector<float>(12, 0.1234f)), h(24, QVector<float>(12, -5.5f));
        const HisiTable t = PaletteLut::toHisiTable(QVector<QRgb>(), s, h, 24, 12);
        QCOMPARE(t[7][0], 0x07000CFBu);
    }

    void theAngleAxisWrapsAndTheRingAxisStops_data() {
        QTest::addColumn<float>("t");
        QTest::addColumn<float>("u");
        QTest::addColumn<float>("value");
        QTest::newRow("on index 0") << 0.0f << 11.0f << 10.0f;
        QTest::newRow("between 23 and 0") << 23.5f << 11.0f << 5.0f;
        QTest::newRow("on index 23") << 23.0f << 0.0f << 0.0f;
        QTest::newRow("last ring, halfway round") << 0.5f << 11.0f << 5.0f;
        QTest::newRow("half a ring") << 0.0f << 0.5f << 0.5f;
    }
    void theAngleAxisWrapsAndTheRingAxisStops() {
        QFETCH(float, t);
        QFETCH(float, u);
        QFETCH(float, value);
        PaletteTable table(24, QVector<float>(12, 0.0f));
        table[0] = QVector<float>(12, 10.0f);
        table[0][0] = 0.0f;
        table[0][1] = 1.0f;
        QCOMPARE(PaletteLut::lookup(table, 24, 12, t, u), value);
    }

    void draggingThePointOverRedChangesRedAndLeavesCyan() {
        PolarPaletteWidget w;
        QVERIFY(shown(w, QSize(600, 500)));
        const ControlPoint red = pointOf(w, 12, 11);
        const QRgb under = w.grab().toImage().pixel(at(red) + QPoint(4, 2));
        QVERIFY2(qRed(under) > 200 && qGreen(under) < 90 && qBlue(under) < 90, "the point is drawn over red");
        drag(&w, at(red), turned(w, red, 20));
        QVERIFY(std::fabs(w.deltaHue()[12][11] - 20.0f) < 1.0f);
        w.generate3DLUT();
        QVERIFY(cube(w, 16, 0, 0) != qRgb(255, 0, 0));
        QVERIFY(qGreen(cube(w, 16, 0, 0)) > 60);
        QCOMPARE(cube(w, 0, 16, 16), qRgb(0, 255, 255));
        QCOMPARE(cube(w, 0, 16, 0), qRgb(0, 255, 0));
    }

    void dragsFollowThePointerWithinTheRim_data() {
        QTest::addColumn<int>("angle");
        QTest::addColumn<int>("ring");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<double>("scale");
        QTest::addColumn<QPoint>("offset"); // added to the target, away from the point
        QTest::addColumn<float>("deltaSat");
        QTest::addColumn<float>("deltaHue");
        QTest::newRow("one ring outwards") << 0 << 5 << 0.0 << 7.0 / 6.0 << QPoint() << 1.0f / 6 << 0.0f;
        QTest::newRow("350 degrees clockwise") << 6 << 11 << 350.0 << 1.0 << QPoint() << 0.0f << -10.0f;
        QTest::newRow("beyond the rim") << 0 << 11 << 0.0 << 3.0 << QPoint() << 0.0f << 0.0f;
        QTest::newRow("press too far") << 0 << 5 << 0.0 << 1.0 << QPoint(0, 15) << 0.0f << 0.0f;
    }
    void dragsFollowThePointerWithinTheRim() {
        QFETCH(int, angle);
        QFETCH(int, ring);
        QFETCH(double, degrees);
        QFETCH(double, scale);
        QFETCH(QPoint, offset);
        QFETCH(float, deltaSat);
        QFETCH(float, deltaHue);
        PolarPaletteWidget w;
        PaletteControlPanel panel(&w);
        QVERIFY(shown(w));
        QSignalSpy changed(&w, &PolarPaletteWidget::adjustmentChanged);
        const ControlPoint p = pointOf(w, angle, ring);
        drag(&w, at(p) + offset, turned(w, p, degrees, scale) + offset);
        QVERIFY(std::fabs(w.deltaSaturation()[angle][ring] - deltaSat) < 0.01f);
        QVERIFY(std::fabs(w.deltaHue()[angle][ring] - deltaHue) < 0.5f);
        const ControlPoint moved = pointOf(w, angle, ring);
        QVERIFY(std::hypot(moved.x - w.centre().x(), moved.y - w.centre().y()) <= w.radius() + 0.01);
        QCOMPARE(changed.count(), offset.isNull() ? 1 : 0);
        QCOMPARE(panel.statusText(), offset.isNull() ? QStringLiteral("调整已更新") : QStringLiteral("就绪"));

        // A resize lays the grid out again and keeps the recorded changes.
        const PaletteTable before = w.deltaSaturation();
        w.resize(700, 650);
        QCOMPARE(w.deltaSaturation(), before);
        for (const ControlPoint &q : w.controlPoints())
            QVERIFY(q.x == q.originalX && q.y == q.originalY);
    }

    void resetAfterRandomLeavesNothingAdjusted() {
        PolarPaletteWidget w;
        PaletteControlPanel panel(&w);
        QVERIFY(shown(w));
        QSignalSpy changed(&w, &PolarPaletteWidget::adjustmentChanged);
        QSignalSpy random(&panel, &PaletteControlPanel::randomAdjustmentRequested);
        panel.findChildren<QPushButton *>().at(0)->click();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(random.count(), 1);
        QCOMPARE(panel.statusText(), QStringLiteral("已应用随机调整"));
        for (const QVector<float> &row : w.deltaHue())
            for (float h : row)
                QVERIFY(h >= -30.0f && h < 30.0f);
        w.generate3DLUT();
        w.convertToHisiFormat();
        panel.onReset();
        QCOMPARE(panel.statusText(), QStringLiteral("已重置所有调整"));
        QCOMPARE(w.deltaSaturation(), PaletteTable(24, QVector<float>(12, 0.0f)));
        QCOMPARE(w.deltaHue(), PaletteTable(24, QVector<float>(12, 0.0f)));
        QCOMPARE(w.hisiTable(), PaletteLut::zeroHisiTable());
        for (const ControlPoint &q : w.controlPoints())
            QVERIFY(q.x == q.originalX && q.y == q.originalY);
    }

    void saveThenLoadRestoresEverything() {
        PolarPaletteWidget w;
        PaletteControlPanel panel(&w);
        QVERIFY(shown(w));
        w.applyRandomAdjustment();
        w.generate3DLUT();
        w.convertToHisiFormat();
        const PaletteState saved = w.state();
        m_chosenFile = path("round.json");
        panel.onSave();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].title, QStringLiteral("保存成功"));
        QCOMPARE(m_boxes[0].text, QStringLiteral("调整表已保存到: ") + m_chosenFile);

        panel.onReset();
        panel.onLoad();
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes[1].title, QStringLiteral("加载成功"));
        QCOMPARE(panel.statusText(), QStringLiteral("调整表已加载"));
        const PaletteState loaded = w.state();
        QCOMPARE(loaded.deltaSaturation, saved.deltaSaturation);
        QCOMPARE(loaded.deltaHue, saved.deltaHue);
        QCOMPARE(loaded.hisiOutput, saved.hisiOutput);
        QCOMPARE(loaded.controlPoints.size(), saved.controlPoints.size());
        for (int k = 0; k < saved.controlPoints.size(); ++k) {
            QCOMPARE(loaded.controlPoints[k].x, saved.controlPoints[k].x);
            QCOMPARE(loaded.controlPoints[k].originalY, saved.controlPoints[k].originalY);
        }
    }

    void partialFilesFillWhatTheyLack() {
        PolarPaletteWidget w;
        QVERIFY(shown(w));
        w.setCellAdjustment(0, 8, 0.25f, 3.0f);
        writeFile(path("six.json"), R"({"numAngles": 24, "numRadii": 6,
            "deltaSaturation": [[0.5]], "deltaHue": [],
            "hisiOutput": [[1, 2.9, 4294967295], []]})");
        QVERIFY(w.loadFromFile(path("six.json")));
        QCOMPARE(w.numRadii(), 6);
        QCOMPARE(w.deltaSaturation()[0][0], 0.5f);
        QCOMPARE(w.deltaSaturation()[0][8], 0.25f); // cells past the file's rings stay
        QCOMPARE(w.deltaHue()[0][8], 3.0f);
        QVERIFY(w.controlPoints().isEmpty());
        QCOMPARE(w.hisiTable()[0].mid(0, 4), QList<quint32>({1u, 2u, 4294967295u, 0u}));
        QCOMPARE(w.hisiTable()[1], QList<quint32>(324, 0u));
        w.grab(); // the next paint lays out a fresh grid of six rings
        QCOMPARE(w.controlPoints().size(), 24 * 6);
    }

    void brokenOrHostileFilesAreRefusedAndChangeNothing_data() {
        QTest::addColumn<QByteArray>("text");
        const QByteArray tail = R"(, "deltaSaturation": [], "deltaHue": []})";
        QTest::newRow("not JSON") << QByteArray("numAngles = 24\n");
        QTest::newRow("an array") << QByteArray("[24, 12]");
        QTest::newRow("no counts") << QByteArray("{}");
        QTest::newRow("huge counts") << R"({"numAngles": 2000000000, "numRadii": 2000000000)" + tail;
        QTest::newRow("negative counts") << R"({"numAngles": -24, "numRadii": 12)" + tail;
        QTest::newRow("fractional count") << R"({"numAngles": 24.5, "numRadii": 12)" + tail;
        QTest::newRow("count as text") << R"({"numAngles": "24", "numRadii": 12)" + tail;
        QTest::newRow("table as text") << QByteArray(R"({"numAngles": 24, "numRadii": 12, "deltaHue": "x"})");
        QTest::newRow("huge value") << QByteArray(
            R"({"numAngles": 1, "numRadii": 1, "deltaHue": [[1e300]]})");
        QTest::newRow("point outside the grid")
            << QByteArray(R"({"numAngles": 2, "numRadii": 2, "controlPoints": [{"angleIdx": 5}]})");
        QTest::newRow("point not an object")
            << QByteArray(R"({"numAngles": 2, "numRadii": 2, "controlPoints": [3]})");
        QTest::newRow("negative word")
            << QByteArray(R"({"numAngles": 1, "numRadii": 1, "hisiOutput": [[-1]]})");
        QTest::newRow("word too large")
            << QByteArray(R"({"numAngles": 1, "numRadii": 1, "hisiOutput": [[4294967296]]})");
        QTest::newRow("deep nesting") << QByteArray(R"({"numAngles": 1, "numRadii": 1, "hisiOutput": )") +
                                             QByteArray(100000, '[') + QByteArray(100000, ']') + "}";
        QByteArray words = R"({"numAngles": 1, "numRadii": 1, "hisiOutput": [[)";
        while (words.size() < 9 * 1024 * 1024)
            words += "1000000000,";
        QTest::newRow("too many words") << words + "0]]}";
    }
    void brokenOrHostileFilesAreRefusedAndChangeNothing() {
        QFETCH(QByteArray, text);
        PolarPaletteWidget w;
        PaletteControlPanel panel(&w);
        w.resize(600, 600);
        w.applyRandomAdjustment();
        const PaletteState before = w.state();
        QSignalSpy changed(&w, &PolarPaletteWidget::adjustmentChanged);
        m_chosenFile = path("hostile.json");
        writeFile(m_chosenFile, text);
        panel.onLoad();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(w.numAngles(), 24);
        QCOMPARE(w.deltaHue(), before.deltaHue);
        QCOMPARE(w.controlPoints().size(), before.controlPoints.size());
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].kind, MessageBoxRequest::Warning);
        QCOMPARE(m_boxes[0].title, QStringLiteral("加载失败"));
        QVERIFY(!w.lastFileError().isEmpty());
    }

    void aFailedSaveIsReportedAsAFailure() {
        PolarPaletteWidget w;
        PaletteControlPanel panel(&w);
        m_chosenFile = path("missing/dir/out.json");
        panel.onSave();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes[0].kind, MessageBoxRequest::Warning);
        QCOMPARE(m_boxes[0].title, QStringLiteral("保存失败"));
        QVERIFY(!QFile::exists(m_chosenFile));
        m_chosenFile.clear(); // cancelled: nothing at all
        panel.onSave();
        panel.onLoad();
        QCOMPARE(m_boxes.size(), 1);
    }

    // The captions name the hue drawn under them, lie inside the widget and never run
    // into each other, at any size and after a random adjustment.
    void captionsAreReadableAndNameTheirHues_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("minimum") << QSize(300, 300);
        QTest::newRow("square") << QSize(400, 400);
        QTest::newRow("wide") << QSize(730, 480);
        QTest::newRow("tall") << QSize(420, 760);
    }
    void captionsAreReadableAndNameTheirHues() {
        QFETCH(QSize, size);
        PolarPaletteWidget w;
        w.resize(size);
        w.grab(); // lays the points out
        for (bool adjusted : {false, true}) {
            if (adjusted)
                w.applyRandomAdjustment();
            const QList<PolarPaletteWidget::Caption> captions = w.captions();
            QStringList angles;
            for (int i = 0; i < captions.size(); ++i) {
                QVERIFY2(w.rect().contains(captions[i].rect), qPrintable(captions[i].text));
                for (int j = i + 1; j < captions.size(); ++j)
                    QVERIFY2(!captions[i].rect.intersects(captions[j].rect),
                             qPrintable(captions[i].text + " / " + captions[j].text));
                if (captions[i].text.startsWith("H="))
                    angles << captions[i].text;
            }
            // Straight right (angle 0) is cyan, straight down violet: the wheel turns
            // clockwise from red on the left.
            QCOMPARE(angles, QStringList({"H=180°", "H=225°", "H=270°", "H=315°", "H=0°", "H=45°", "H=90°", "H=135°"}));
            QCOMPARE(captions.size() - angles.size() > 4, adjusted);
        }
    }
};

QTEST_MAIN(TestPolarPalette)
#include "test_polar_palette.moc"
