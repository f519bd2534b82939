#include "camera_window.h"
#include "log_capture.h"
#include "preview_dialogs.h"
#include "preview_frame_pipeline.h"
#include "preview_lut_settings.h"
#include "preview_picture_view.h"
#include "video_frame_source.h"
#include "video_inputs.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

// A frame source the test feeds by hand.
class FakeSource : public VideoFrameSource {
public:
    using VideoFrameSource::VideoFrameSource;
    void open(const QString &id) override { opened << id, isOpenFlag = true; }
    void close() override { closes += opened.isEmpty() ? 0 : 1, isOpenFlag = false; }
    bool isOpen() const override { return isOpenFlag; }
    void deactivate() override {}
    bool selectFormat(QVideoFrameFormat::PixelFormat, const QSize &, float) override { return offersFormat; }
    void push(const QVideoFrame &frame) { emit frameReady(frame); }

    QStringList opened;
    int closes = 0;
    bool isOpenFlag = false;
    bool offersFormat = true;
};

// A YUYV frame whose left half is white and right half black.
QVideoFrame halfWhiteFrame(int w, int h) {
    QVideoFrame frame(QVideoFrameFormat(QSize(w, h), QVideoFrameFormat::Format_YUYV));
    frame.map(QVideoFrame::WriteOnly);
    for (int y = 0; y < h; ++y) {
        uchar *line = frame.bits(0) + y * frame.bytesPerLine(0);
        for (int x = 0; x < w; x += 2) {
            const uchar luma = x < w / 2 ? 235 : 16;
            line[x * 2] = luma;
            line[x * 2 + 1] = 128;
            line[x * 2 + 2] = luma;
            line[x * 2 + 3] = 128;
        }
    }
    frame.unmap();
    return frame;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

QByteArray rgbBytes(const QImage &img) {
    QByteArray bytes;
    for (int y = 0; y < img.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(img.constScanLine(y)), img.width() * img.depth() / 8);
    return bytes;
}

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    QMap<QObject *, int> paints;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

int grey(const QImage &img, int x, int y) {
    return qGray(img.pixel(x, y));
}

} // namespace

class TestCameraWindow : public QObject {
    Q_OBJECT

    QList<FakeSource *> m_sources;
    QList<QMessageBox *> m_boxes;
    QStringList m_boxTitles;
    QStringList m_boxTexts;
    QStringList m_boxStyles;
    QList<int> m_boxIcons;
    QString m_nextFile;

private slots:
    void init() {
        m_sources.clear();
        m_boxTitles.clear();
        m_boxTexts.clear();
        m_boxStyles.clear();
        m_boxIcons.clear();
        VideoInputs::setProvider([] {
            return QList<VideoInput>{{"cam-a", "Cam-111", true}, {"cam-b", "Cam-222", false}};
        });
        VideoFrameSource::setFactory([this](QObject *parent) {
            auto *s = new FakeSource(parent);
            m_sources << s;
            return s;
        });
        PreviewDialogs::setBoxResponder([this](QMessageBox *box) {
            m_boxTitles << box->windowTitle();
            m_boxTexts << box->text();
            m_boxStyles << box->styleSheet();
            m_boxIcons << int(box->icon());
            return int(QMessageBox::Ok);
        });
        PreviewDialogs::setFileResponder([this](const QString &, const QString &) { return m_nextFile; });
    }
    void cleanup() {
        VideoInputs::setProvider({});
        VideoFrameSource::setFactory({});
        PreviewDialogs::setBoxResponder({});
        PreviewDialogs::setFileResponder({});
        PreviewLutSettings::set(false, QString());
    }

    void rePointingKeepsOneSourceAndDeliversFramesOnce() {
        LogCapture log;
        // Closing deletes the window, so it lives on the heap.
        auto *window = new CameraWindow("cam-a");
        QPointer<CameraWindow> alive(window);
        CameraWindow &w = *window;
        QCOMPARE(m_sources.size(), 1);
        FakeSource *source = m_sources.first();
        source->isOpenFlag = true;
        QCOMPARE(source->opened, QStringList({"cam-a"}));
        QCOMPARE(w.imageLabel()->text(), QString("正在启动摄像头..."));
        QVERIFY(log.contains("Qt 摄像头启动成功"));
        QVERIFY(log.contains("强制设置摄像头格式: 1280x720 YUY2 30fps"));

        source->offersFormat = false;
        w.openCameraById("cam-b");
        w.openCameraById("cam-a");
        QCOMPARE(m_sources.size(), 1);
        QCOMPARE(source->opened, QStringList({"cam-a", "cam-b", "cam-a"}));
        QCOMPARE(log.count("释放旧的 QCamera"), 2);
        QCOMPARE(log.count("未找到要求的格式，使用默认格式"), 2);

        source->push(halfWhiteFrame(64, 32));
        QCOMPARE(w.framesShown(), 1);
        QVERIFY(w.imageLabel()->text().isEmpty()); // the picture replaces the text
        QVERIFY(!w.pictureView()->isHidden());

        // An id no input has: the running camera stays, the box comes queued, then the
        // window closes.
        QSignalSpy closed(&w, &CameraWindow::windowClosed);
        QString textOnClose;
        bool pictureOnClose = true;
        connect(&w, &CameraWindow::windowClosed, this, [&] {
            textOnClose = w.imageLabel()->text();
            pictureOnClose = !w.pictureView()->isHidden();
        });
        w.openCameraById("cam-x");
        QVERIFY(log.contains("未找到匹配的设备 ID: \"cam-x\""));
        QVERIFY(m_boxTitles.isEmpty());
        QCOMPARE(source->opened.size(), 3);
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(m_boxTitles, QStringList({"相机未找到"}));
        QCOMPARE(m_boxTexts.first(),
                 QString("请检查：\n\n1. 确认相机USB线已接牢固\n2. 确认相机指示灯已点亮\n3. "
                         "确认相机未在其他软件拉流"));
        QCOMPARE(textOnClose, QString("摄像头已关闭"));
        QVERIFY(!pictureOnClose);
        QTRY_VERIFY(!alive);
    }

    void portraitUntilToldOtherwise() {
        LogCapture log;
        CameraWindow w("cam-a");
        FakeSource *source = m_sources.first();
        source->push(halfWhiteFrame(64, 32));
        // A quarter turn counter-clockwise: the white left half ends up at the bottom.
        // The picture fills the label's height, twice as tall as wide.
        QImage img = w.currentImage();
        QCOMPARE(img.size(), QSize(32, 64).scaled(w.imageLabel()->size(), Qt::KeepAspectRatio));
        QCOMPARE(w.pictureView()->size(), img.size());
        QVERIFY(grey(img, img.width() / 2, img.height() * 15 / 16) > 200);
        QVERIFY(grey(img, img.width() / 2, img.height() / 16) < 40);

        w.setLandscape(true);
        source->push(halfWhiteFrame(64, 32));
        img = w.currentImage();
        QCOMPARE(img.size(), QSize(64, 32).scaled(w.imageLabel()->size(), Qt::KeepAspectRatio));
        QVERIFY(grey(img, img.width() / 16, img.height() / 2) > 200);
        QVERIFY(grey(img, img.width() * 15 / 16, img.height() / 2) < 40);
        QCOMPARE(log.count("isLandscape the same, no not change"), 0);
        w.setLandscape(true);
        QCOMPARE(log.count("isLandscape the same, no not change"), 1);
        QVERIFY(w.isLandscape());
    }

    // The picture is drawn where a label centres a pixmap, follows the area's resizes
    // and is left alone while nobody can see it.
    void pictureSitsCentredAndIsSkippedWhenUnseen() {
        CameraWindow w("cam-a");
        w.setLandscape(true);
        w.resize(800, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FakeSource *source = m_sources.first();
        source->push(halfWhiteFrame(64, 32));
        const auto centred = [&w] {
            return QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, w.currentImage().size(),
                                       w.imageLabel()->contentsRect());
        };
        QCOMPARE(w.pictureView()->geometry(), centred());
        const QImage shown = w.grab().toImage();
        const QPoint white = w.pictureView()->mapTo(&w, QPoint(4, w.pictureView()->height() / 2));
        QCOMPARE(shown.pixel(white), w.currentImage().pixel(4, w.currentImage().height() / 2));
        // A new picture repaints the picture alone, not the chrome beneath it.
        QCoreApplication::processEvents(); // the first picture's showing
        PaintCounter counter;
        w.installEventFilter(&counter);
        w.imageLabel()->installEventFilter(&counter);
        w.pictureView()->installEventFilter(&counter);
        source->push(halfWhiteFrame(64, 32));
        QTRY_COMPARE(counter.paints.value(w.pictureView()), 1);
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints.value(&w) + counter.paints.value(w.imageLabel()), 0);
        // The whole view painted one to one (the backing store, a grab) takes the picture
        // straight into the painted image; a part of it, or a scaled painter, copies from
        // an image of its own. Both show the same bytes, and the frame stays mapped only
        // while its picture is shown.
        PreviewPictureView *view = w.pictureView();
        const int direct = view->directPaints();
        QVERIFY(direct >= 2);
        QCOMPARE(view->grab().toImage().convertToFormat(QImage::Format_RGB32), w.currentImage());
        QCOMPARE(view->directPaints(), direct + 1);
        const QRect left(0, 0, view->width() / 2, view->height());
        QImage part(view->size(), QImage::Format_RGB32);
        part.fill(Qt::red);
        view->render(&part, QPoint(), QRegion(left));
        QImage doubled(view->size() * 2, QImage::Format_RGB32);
        QPainter scaled(&doubled);
        scaled.scale(2, 2);
        view->render(&scaled);
        scaled.end();
        QCOMPARE(view->directPaints(), direct + 1);
        QCOMPARE(part.copy(left), w.currentImage().copy(left));
        QCOMPARE(part.pixel(view->width() - 1, 0), qRgb(255, 0, 0));
        QCOMPARE(doubled.pixel(8, doubled.height() / 2), w.currentImage().pixel(4, view->height() / 2));
        QVideoFrame last = halfWhiteFrame(64, 32);
        source->push(last);
        QVERIFY(last.isMapped());

        w.resize(900, 600);
        QTRY_COMPARE(w.pictureView()->pos(), centred().topLeft());

        w.showMinimized();
        QTRY_VERIFY(w.isMinimized());
        source->push(halfWhiteFrame(64, 32));
        QCOMPARE(w.framesShown(), 3);
        w.showNormal();
        QTRY_VERIFY(!w.isMinimized());
        source->push(halfWhiteFrame(64, 32));
        QCOMPARE(w.framesShown(), 4);
        QVERIFY(!last.isMapped());
    }

    void closingReportsFailureThenClosed() {
        auto *w = new CameraWindow("cam-a");
        QList<QString> order;
        connect(w, &CameraWindow::faceDataCollectionFailed, this, [&] { order << "failed"; });
        connect(w, &CameraWindow::windowClosed, this, [&] { order << "closed"; });
        QPointer<CameraWindow> alive(w);
        w->show();
        w->closeButton()->click();
        QCOMPARE(order, QList<QString>({"failed", "closed"}));
        QTRY_VERIFY(!alive); // deletes itself
    }

    void framesThatCannotBeReadAreDropped() {
        PreviewFramePipeline pipeline;
        using S = PreviewFramePipeline::Status;
        // Exactly sized heap buffers, so that any read beyond them trips the sanitizer.
        std::vector<uchar> full(size_t(16) * 8 * 2, 128);
        QCOMPARE(pipeline.process(MappedFrame::yuyv(full.data(), qsizetype(full.size()), 16, 8, 32), nullptr,
                                  true),
                 S::Shown);
        std::vector<uchar> shortBuffer(full.size() - 1, 128);
        QCOMPARE(
            pipeline.process(MappedFrame::yuyv(shortBuffer.data(), qsizetype(shortBuffer.size()), 16, 8, 32),
                             nullptr, true),
            S::Truncated);
        // A stride shorter than a row, an odd width, no size, no data.
        QCOMPARE(pipeline.process(MappedFrame::yuyv(full.data(), qsizetype(full.size()), 16, 8, 30), nullptr,
                                  true),
                 S::Truncated);
        QCOMPARE(pipeline.process(MappedFrame::yuyv(full.data(), qsizetype(full.size()), 15, 8, 32), nullptr,
                                  true),
                 S::Truncated);
        QCOMPARE(
            pipeline.process(MappedFrame::yuyv(full.data(), qsizetype(full.size()), 0, 8, 32), nullptr, true),
            S::Truncated);
        QCOMPARE(pipeline.process(MappedFrame::yuyv(nullptr, 256, 16, 8, 32), nullptr, false), S::Truncated);
        // Refused frames leave the frame prepared before them to be drawn again.
        QVERIFY(pipeline.isPrepared());
        QCOMPARE(pipeline.shownSize(), QSize(16, 8));
        QImage again(pipeline.shownSize(), QImage::Format_RGB32);
        cv::Mat againMat(again.height(), again.width(), CV_8UC4, again.bits(), size_t(again.bytesPerLine()));
        pipeline.render(againMat);
        QCOMPARE(again, pipeline.image());
        // The last row may end at the last mapped byte even with padding in between.
        std::vector<uchar> padded(size_t(40) * 7 + 32, 128);
        QCOMPARE(pipeline.process(MappedFrame::yuyv(padded.data(), qsizetype(padded.size()), 16, 8, 40),
                                  nullptr, false),
                 S::Shown);
        QCOMPARE(pipeline.image().size(), QSize(8, 16));

        // NV12: both planes checked.
        std::vector<uchar> luma(size_t(16) * 8, 200), chroma(size_t(16) * 4, 128);
        MappedFrame nv12;
        nv12.format = QVideoFrameFormat::Format_NV12;
        nv12.width = 16;
        nv12.height = 8;
        nv12.planeCount = 2;
        nv12.bits[0] = luma.data();
        nv12.bits[1] = chroma.data();
        nv12.bytesPerLine[0] = nv12.bytesPerLine[1] = 16;
        nv12.mappedBytes[0] = qsizetype(luma.size());
        nv12.mappedBytes[1] = qsizetype(chroma.size());
        QCOMPARE(pipeline.process(nv12, nullptr, true), S::Shown);
        QVERIFY(qAbs(grey(pipeline.image(), 3, 3) - 214) <= 3);
        nv12.mappedBytes[1] -= 1;
        QCOMPARE(pipeline.process(nv12, nullptr, true), S::Truncated);
        nv12.planeCount = 1;
        nv12.mappedBytes[1] += 1;
        QCOMPARE(pipeline.process(nv12, nullptr, true), S::Truncated);

        // 32-bit RGB as decoded MJPEG arrives: byte order as named.
        std::vector<uchar> bgra(size_t(4) * 2 * 4);
        for (size_t i = 0; i < bgra.size(); i += 4) {
            bgra[i] = 10;
            bgra[i + 1] = 20;
            bgra[i + 2] = 30;
            bgra[i + 3] = 255;
        }
        MappedFrame rgb32;
        rgb32.format = QVideoFrameFormat::Format_BGRA8888;
        rgb32.width = 4;
        rgb32.height = 2;
        rgb32.planeCount = 1;
        rgb32.bits[0] = bgra.data();
        rgb32.bytesPerLine[0] = 16;
        rgb32.mappedBytes[0] = qsizetype(bgra.size());
        QCOMPARE(pipeline.process(rgb32, nullptr, true), S::Shown);
        QCOMPARE(pipeline.image().pixel(1, 1), qRgb(30, 20, 10));
        rgb32.format = QVideoFrameFormat::Format_RGBX8888;
        QCOMPARE(pipeline.process(rgb32, nullptr, true), S::Shown);
        QCOMPARE(pipeline.image().pixel(1, 1), qRgb(10, 20, 30));
        rgb32.mappedBytes[0] = 31;
        QCOMPARE(pipeline.process(rgb32, nullptr, true), S::Truncated);

        MappedFrame planar = nv12;
        planar.format = QVideoFrameFormat::Format_YUV420P;
        QCOMPARE(pipeline.process(planar, nullptr, true), S::UnsupportedFormat);
    }

    void unsupportedFramesWarnOnce() {
        LogCapture log;
        CameraWindow w("cam-a");
        QVideoFrame planar(QVideoFrameFormat(QSize(32, 16), QVideoFrameFormat::Format_YUV420P));
        m_sources.first()->push(planar);
        m_sources.first()->push(planar);
        QCOMPARE(w.framesShown(), 0);
        QCOMPARE(log.count("不支持的视频帧格式，帧已丢弃:"), 1);
        m_sources.first()->push(QVideoFrame()); // invalid: dropped silently
        QCOMPARE(w.framesShown(), 0);
    }

    void dragFromTheTitleBarAndResizeFromTheEdges() {
        CameraWindow w("cam-a");
        w.setGeometry(100, 100, 800, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto send = [&](QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(local), QPointF(w.mapToGlobal(local)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(&w, &e);
            return e.isAccepted();
        };
        // Near the left edge but inside the title bar: a drag, not a resize.
        const QPoint start = w.pos();
        send(QEvent::MouseButtonPress, QPoint(5, 20), Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(55, 50), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPoint(55, 50), Qt::NoButton);
        QCOMPARE(w.pos(), start + QPoint(50, 30));
        QCOMPARE(w.size(), QSize(800, 600));

        // Left edge below the title bar: resizing, refused below the minimum width.
        const QRect before = w.geometry();
        send(QEvent::MouseButtonPress, QPoint(3, 300), Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(-97, 300), Qt::LeftButton);
        QCOMPARE(w.geometry().width(), 900);
        QCOMPARE(w.geometry().right(), before.right());
        // The pointer 260 px right of the press: 540 px would be below 640, so unchanged.
        send(QEvent::MouseMove, QPoint(363, 300), Qt::LeftButton);
        QCOMPARE(w.geometry().width(), 900);
        send(QEvent::MouseMove, QPoint(263, 300), Qt::LeftButton); // exactly the minimum
        QCOMPARE(w.geometry().width(), 640);
        send(QEvent::MouseButtonRelease, QPoint(0, 300), Qt::NoButton);

        // Inside the picture, away from the edges: not taken.
        QVERIFY(!send(QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton));
        QCOMPARE(w.edgesAt(QPoint(2, 2)), CameraWindow::EdgeLeft | CameraWindow::EdgeTop);
        QCOMPARE(w.edgesAt(QPoint(w.width() - 3, w.height() - 3)),
                 CameraWindow::EdgeRight | CameraWindow::EdgeBottom);
        // Without mouse tracking, moves arrive only with a button held.
        send(QEvent::MouseMove, QPoint(w.width() - 3, 2), Qt::LeftButton);
        QCOMPARE(w.cursor().shape(), Qt::SizeBDiagCursor);
        send(QEvent::MouseMove, QPoint(400, w.height() - 2), Qt::LeftButton);
        QCOMPARE(w.cursor().shape(), Qt::SizeVerCursor);
    }

    void lutFromTheButton() {
        QTemporaryDir dir;
        const QString good = dir.filePath("good.cube"), bad = dir.filePath("bad.cube");
        writeFile(dir, "good.cube", "LUT_3D_SIZE 1\n0.2 0.4 0.6\n");
        writeFile(dir, "bad.cube", "LUT_3D_SIZE 2\n0 0 0\n");

        CameraWindow w("cam-a");
        w.setLandscape(true);
        QVERIFY(w.lutButton()->isHidden());
        m_nextFile = good;
        w.onLoadLUTClicked();
        QVERIFY(w.lutEnabled());
        QCOMPARE(m_boxTitles.last(), QString("成功"));
        QCOMPARE(m_boxTexts.last(), QString("3D LUT (大小 1) 加载成功"));
        m_sources.first()->push(halfWhiteFrame(16, 8));
        QCOMPARE(w.currentImage().pixel(2, 2), qRgb(51, 102, 153));

        // A refused file leaves the good LUT on.
        m_nextFile = bad;
        w.onLoadLUTClicked();
        QVERIFY(w.lutEnabled());
        QCOMPARE(m_boxTitles.last(), QString("失败"));
        QCOMPARE(m_boxTexts.last(), QString("LUT 加载失败，请确保文件是有效的 3D LUT (.cube 格式)"));
        QCOMPARE(w.lut().lutSize(), 1);
        m_sources.first()->push(halfWhiteFrame(16, 8));
        QCOMPARE(w.currentImage().pixel(2, 2), qRgb(51, 102, 153));
        // Both boxes are the tool's dark ones, without Qt's icons.
        QCOMPARE(m_boxStyles.size(), 2);
        for (const QString &style : std::as_const(m_boxStyles))
            QVERIFY(style.contains("background-color: #1e1e1e"));
        QCOMPARE(m_boxIcons, QList<int>({int(QMessageBox::NoIcon), int(QMessageBox::NoIcon)}));

        m_nextFile.clear(); // nothing chosen: nothing happens
        const int boxes = m_boxTitles.size();
        w.onLoadLUTClicked();
        QCOMPARE(m_boxTitles.size(), boxes);
    }

    void lutButtonOnRequest() {
        PreviewLutSettings::set(true, QString());
        CameraWindow w("cam-a");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(w.lutButton()->isVisible());
        QVERIFY(w.lutButton()->geometry().right() < w.minimizeButton()->geometry().left());
    }

    void lutAsThePreviewOpens_data() {
        QTest::addColumn<QByteArray>("cube"); // empty: no such file
        QTest::addColumn<bool>("loaded");
        QTest::newRow("good") << QByteArray("LUT_3D_SIZE 1\n0.2 0.4 0.6\n") << true;
        QTest::newRow("short") << QByteArray("LUT_3D_SIZE 2\n0 0 0\n") << false;
        QTest::newRow("missing") << QByteArray() << false;
    }
    void lutAsThePreviewOpens() {
        QFETCH(QByteArray, cube);
        QFETCH(bool, loaded);
        LogCapture log;
        QTemporaryDir dir;
        const QString path = cube.isEmpty() ? dir.filePath("none.cube") : writeFile(dir, "look.cube", cube);
        PreviewLutSettings::set(true, path);
        for (int opening = 0; opening < 2; ++opening) {
            auto *w = new CameraWindow("cam-a");
            w->setLandscape(true);
            QCOMPARE(w->lutEnabled(), loaded);
            QVERIFY(!w->lutButton()->isHidden());
            m_sources.last()->push(halfWhiteFrame(16, 8));
            QCOMPARE(w->currentImage().pixel(2, 2), loaded ? qRgb(51, 102, 153) : qRgb(255, 255, 255));
            QCoreApplication::processEvents();
            delete w;
        }
        // A failure is logged at every opening but shown once; success is not shown.
        QCOMPARE(log.count("LUT 文件加载失败:"), loaded ? 0 : 2);
        QCOMPARE(m_boxTitles, loaded ? QStringList() : QStringList({"失败"}));
    }

    void clearingRestoresThePlainPicture() {
        QTemporaryDir dir;
        m_nextFile = writeFile(dir, "look.cube", "LUT_3D_SIZE 2\n1 0 0\n0 1 0\n0 0 1\n1 1 0\n"
                                                 "0 1 1\n1 0 1\n0.5 0.5 0.5\n0 0 0\n");
        PreviewLutSettings::set(true, QString());
        CameraWindow plain("cam-a");
        CameraWindow w("cam-a");
        for (CameraWindow *window : {&plain, &w}) {
            window->resize(800, 600);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
        }
        const QVideoFrame frame = halfWhiteFrame(64, 32);
        m_sources.first()->push(frame);
        m_sources.last()->push(frame);
        const QByteArray untouched = rgbBytes(plain.currentImage());
        QCOMPARE(rgbBytes(w.currentImage()), untouched);

        // Loading and clearing show on the frame already shown, and on the next ones.
        w.lutButton()->click(); // no LUT yet: the file flow
        QVERIFY(w.lutEnabled());
        QVERIFY(!w.lutMenu()->isVisible());
        const QByteArray graded = rgbBytes(w.currentImage());
        QVERIFY(graded != untouched);
        m_sources.last()->push(frame);
        QCOMPARE(rgbBytes(w.currentImage()), graded);

        w.lutButton()->click(); // a LUT on: the menu
        QTRY_VERIFY(w.lutMenu()->isVisible());
        const QList<QAction *> actions = w.lutMenu()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions.first()->text(), QString("清除LUT"));
        actions.first()->trigger();
        w.lutMenu()->hide();
        QVERIFY(!w.lutEnabled());
        QCOMPARE(rgbBytes(w.currentImage()), untouched);
        m_sources.last()->push(frame);
        QCOMPARE(rgbBytes(w.currentImage()), untouched);

        actions.last()->trigger(); // loading again from the menu
        QVERIFY(w.lutEnabled());
        QCOMPARE(m_boxTitles, QStringList({"成功", "成功"}));
    }
};

QTEST_MAIN(TestCameraWindow)
#include "test_camera_window.moc"
