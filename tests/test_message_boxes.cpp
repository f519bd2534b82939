#include "message_boxes.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>

namespace {
// Answers every box with a fixed choice and keeps what was asked.
struct Recorder {
    QList<MessageBoxRequest> requests;
    std::function<int(const MessageBoxRequest &)> answer = [](const MessageBoxRequest &) {
        return MessageBoxes::kCloseWithoutButton;
    };
    Recorder()
    {
        MessageBoxes::setTestResponder([this](const MessageBoxRequest &r) {
            requests.append(r);
            return answer(r);
        });
    }
    ~Recorder() { MessageBoxes::setTestResponder({}); }
};

// Message-box captions as a Chinese Qt translation would give them.
class ChineseCaptions : public QTranslator {
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (QByteArray(context) != "QMessageBox")
            return QString();
        const QByteArray source(sourceText);
        if (source == "OK")
            return QStringLiteral("好");
        if (source == "Cancel")
            return QStringLiteral("算了");
        if (source == "Retry")
            return QStringLiteral("再试");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

// Clicks the given button of the modal box that is running, once it is up.
void clickWhenShown(QMessageBox::StandardButton which)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, which] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            poll->deleteLater();
            box->button(which)->click();
        }
    });
    poll->start(5);
}
} // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT

private slots:
    void styledBoxCaptions()
    {
        Recorder rec;
        QWidget parent;
        MessageBoxes::showStyledMessageBox(&parent, "重置色度", "确定要恢复色度默认设置吗?",
                                           QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
        MessageBoxes::showStyledMessageBox(&parent, "重启设备", "t", QMessageBox::Retry | QMessageBox::Cancel);
        MessageBoxes::showStyledMessageBox(nullptr, "t", "t", QMessageBox::Yes | QMessageBox::Ok);
        QCOMPARE(rec.requests.size(), 3);

        const MessageBoxRequest &reset = rec.requests[0];
        QCOMPARE(reset.kind, MessageBoxRequest::Styled);
        QCOMPARE(reset.title, QString("重置色度"));
        QCOMPARE(reset.text, QString("确定要恢复色度默认设置吗?"));
        QCOMPARE(reset.parent.data(), &parent);
        QVERIFY(reset.styleSheet.startsWith(QString(MessageBoxes::kPanelStyleSheet)));
        QVERIFY(reset.hasButton("确定") && reset.hasButton("取消"));
        QCOMPARE(reset.buttons.size(), 2);
        QCOMPARE(reset.buttonIds[reset.buttonIndex("确定")], QMessageBox::Ok);
        QCOMPARE(reset.defaultButton, QString("取消"));

        const MessageBoxRequest &restart = rec.requests[1];
        QVERIFY(restart.hasButton("重启") && restart.hasButton("取消"));
        QCOMPARE(restart.buttonIds[restart.buttonIndex("重启")], QMessageBox::Retry);
        QCOMPARE(restart.defaultButton, QString()); // Qt's own choice

        const MessageBoxRequest &yes = rec.requests[2];
        QVERIFY(yes.hasButton("&Yes") && yes.hasButton("确定"));
        QVERIFY(yes.parent.isNull());
    }

    void styledBoxReturnsTheClickedButton()
    {
        Recorder rec;
        rec.answer = [](const MessageBoxRequest &) { return int(QMessageBox::Cancel); };
        QCOMPARE(MessageBoxes::showStyledMessageBox(nullptr, "t", "t", QMessageBox::Ok | QMessageBox::Cancel),
                 int(QMessageBox::Cancel));
        rec.answer = [](const MessageBoxRequest &r) { return r.buttonIndex("重启"); };
        QCOMPARE(MessageBoxes::showStyledMessageBox(nullptr, "t", "t", QMessageBox::Retry | QMessageBox::Cancel),
                 int(QMessageBox::Retry));
        rec.answer = [](const MessageBoxRequest &) { return int(QMessageBox::Yes); }; // not on this box
        QCOMPARE(MessageBoxes::showStyledMessageBox(nullptr, "t", "t", QMessageBox::Ok), int(QDialog::Rejected));
    }

    void buttonsGetWhiteTextAndTranslatedCaptionsAreReplaced()
    {
        std::unique_ptr<QMessageBox> box(MessageBoxes::createStyledMessageBox(
            nullptr, "t", "t", QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Retry | QMessageBox::Yes));
        QCOMPARE(box->button(QMessageBox::Ok)->text(), QString("OK")); // creating leaves captions
        MessageBoxes::applyStyledCaptions(box.get());
        QCOMPARE(box->button(QMessageBox::Ok)->text(), QString("确定"));
        QCOMPARE(box->button(QMessageBox::Cancel)->text(), QString("取消"));
        QCOMPARE(box->button(QMessageBox::Retry)->text(), QString("重启"));
        QCOMPARE(box->button(QMessageBox::Yes)->text(), QString("&Yes"));
        for (QAbstractButton *button : box->buttons())
            QCOMPARE(button->styleSheet(), QString("color: #ffffff !important;"));

        ChineseCaptions translator;
        QCoreApplication::installTranslator(&translator);
        QCOMPARE(MessageBoxes::replacedCaption("好"), QString("确定"));
        QCOMPARE(MessageBoxes::replacedCaption("算了"), QString("取消"));
        QCOMPARE(MessageBoxes::replacedCaption("再试"), QString("重启"));
        QCOMPARE(MessageBoxes::replacedCaption("重试"), QString("重启"));
        QCOMPARE(MessageBoxes::replacedCaption("OK"), QString("确定"));
        QCOMPARE(MessageBoxes::replacedCaption("Retry"), QString("Retry")); // English Retry only untranslated
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(MessageBoxes::replacedCaption("Retry"), QString("重启"));
        QCOMPARE(MessageBoxes::replacedCaption("Abort"), QString("Abort"));
    }

    // Shown boxes are as wide as their text needs, up to a limit, and wrap long paths;
    // their buttons carry no icons.
    void boxesFitTheirText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("wraps");
        QTest::newRow("short") << QString("设备名称修改成功") << false;
        QTest::newRow("sentence") << QString("设备已恢复出厂设置并正在重启，请稍后重新连接设备") << false;
        QTest::newRow("two lines") << QString("取色功能仅可在本软件视频预览窗口内拾取画面颜色\n请打开视频预览后再使用取色器")
                                   << false;
        QTest::newRow("long path") << QString("相机配置已成功导出到: /home/user/documents/camera-settings/"
                                              "meeting-room-second-floor-east/lectern-camera/camera.config")
                                   << true;
    }

    void boxesFitTheirText()
    {
        QFETCH(QString, text);
        QFETCH(bool, wraps);
        std::unique_ptr<QMessageBox> box(
            MessageBoxes::createStyledMessageBox(nullptr, "t", text, QMessageBox::Ok | QMessageBox::Cancel));
        MessageBoxes::fitToText(box.get());
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        auto *label = box->findChild<QLabel *>("qt_msgbox_label");
        const QFontMetrics metrics(label->font());
        const QRect room = label->contentsRect();
        int widest = 0;
        for (const QString &line : text.split('\n'))
            widest = qMax(widest, metrics.horizontalAdvance(line));
        if (wraps) {
            QVERIFY(room.width() <= MessageBoxes::kMaxTextWidth + 2);
            QVERIFY(room.height() >= 2 * metrics.height());
            // Each wrapped line fits: the text needs no more lines than its width allows.
            QVERIFY(room.height() <= (widest / room.width() + 3) * metrics.lineSpacing());
        } else {
            QVERIFY2(room.width() >= widest, qPrintable(QString("%1 < %2").arg(room.width()).arg(widest)));
        }
        for (QAbstractButton *button : box->buttons())
            QVERIFY(button->icon().isNull());
    }

    void wideStyle()
    {
        Recorder rec;
        MessageBoxes::showStyledMessageBox(nullptr, "t", "t", QMessageBox::Ok | QMessageBox::Cancel,
                                           QMessageBox::NoButton, MessageBoxes::Style::Wide);
        QVERIFY(rec.requests.first().styleSheet.startsWith(
            "QMessageBox {   background-color: #1e1e1e;   border-radius: 10px;   padding: 20px;   min-width: "
            "350px;   min-height: 180px;}"));
        std::unique_ptr<QMessageBox> box(MessageBoxes::createStyledMessageBox(
            nullptr, "t", "t", QMessageBox::Ok, MessageBoxes::Style::Wide));
        QVERIFY(box->findChild<QDialogButtonBox *>()->centerButtons());
    }

    void timedNoticeThroughTheResponder()
    {
        Recorder rec;
        QWidget panel;
        QCOMPARE(MessageBoxes::showTimedNotice(&panel, "成功", "相机配置已成功导入", 1000), int(QDialog::Accepted));
        const MessageBoxRequest &notice = rec.requests.first();
        QCOMPARE(notice.kind, MessageBoxRequest::TimedNotice);
        QCOMPARE(notice.timeoutMs, 1000);
        QCOMPARE(notice.title, QString("成功"));
        QCOMPARE(notice.buttons, QStringList{"OK"}); // keeps its English caption
        QCOMPARE(notice.defaultButton, QString("OK"));
        QCOMPARE(notice.parent.data(), &panel);

        rec.answer = [](const MessageBoxRequest &) { return int(QMessageBox::Ok); };
        QCOMPARE(MessageBoxes::showTimedNotice(&panel, "提示", "t", 1500), int(QMessageBox::Ok));
        QCOMPARE(panel.findChildren<QMessageBox *>().size(), 0); // nothing left behind
    }

    void timedNoticeForReal()
    {
        QVERIFY(!MessageBoxes::hasTestResponder());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(MessageBoxes::showTimedNotice(nullptr, "成功", "t", 60), int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= 55);
        QVERIFY(clock.elapsed() < 3000);

        // Clicking OK earlier closes it at once.
        clock.restart();
        clickWhenShown(QMessageBox::Ok);
        QCOMPARE(MessageBoxes::showTimedNotice(nullptr, "成功", "t", 20000), int(QMessageBox::Ok));
        QVERIFY(clock.elapsed() < 10000);
    }

    void styledBoxForRealSurvivesItsParentGoing()
    {
        auto *parent = new QWidget;
        parent->show();
        QTimer::singleShot(30, parent, [parent] { parent->deleteLater(); });
        // The box is destroyed with its parent; the call must come back cleanly.
        QCOMPARE(MessageBoxes::showStyledMessageBox(parent, "t", "t", QMessageBox::Ok), int(QDialog::Rejected));

        clickWhenShown(QMessageBox::Cancel);
        QCOMPARE(MessageBoxes::showStyledMessageBox(nullptr, "t", "t", QMessageBox::Ok | QMessageBox::Cancel),
                 int(QMessageBox::Cancel));
    }

    void plainBoxes()
    {
        Recorder rec;
        rec.answer = [](const MessageBoxRequest &) { return int(QMessageBox::Ok); };
        QCOMPARE(MessageBoxes::warning(nullptr, "连接失败", "设备连接失败，请刷新设备后重新连接"), QMessageBox::Ok);
        QWidget panel;
        MessageBoxes::information(&panel, "提示", "请先选择一个设备");
        MessageBoxes::critical(&panel, "重启", "重启命令发送失败");

        const MessageBoxRequest &warning = rec.requests[0];
        QCOMPARE(warning.kind, MessageBoxRequest::Warning);
        QCOMPARE(warning.icon, QMessageBox::Warning);
        QCOMPARE(warning.title, QString("连接失败"));
        QCOMPARE(warning.text, QString("设备连接失败，请刷新设备后重新连接"));
        QVERIFY(warning.parent.isNull());
        QCOMPARE(warning.buttons, QStringList{"OK"});
        QCOMPARE(rec.requests[1].kind, MessageBoxRequest::Information);
        QCOMPARE(rec.requests[1].parent.data(), &panel);
        QCOMPARE(rec.requests[2].kind, MessageBoxRequest::Critical);

        rec.answer = [](const MessageBoxRequest &) { return int(QMessageBox::No); };
        QCOMPARE(MessageBoxes::question(&panel, "q", "q"), QMessageBox::No);
        QCOMPARE(rec.requests.last().kind, MessageBoxRequest::Question);
        QCOMPARE(rec.requests.last().icon, QMessageBox::Question);
        rec.answer = [](const MessageBoxRequest &) { return MessageBoxes::kCloseWithoutButton; };
        QCOMPARE(MessageBoxes::question(&panel, "q", "q", QMessageBox::Yes | QMessageBox::No, QMessageBox::No),
                 QMessageBox::NoButton);
        QCOMPARE(rec.requests.last().defaultButton, QString("&No"));
    }

    void customBox()
    {
        Recorder rec;
        rec.answer = [](const MessageBoxRequest &r) { return r.buttonIndex("打开视频预览"); };
        QMessageBox box;
        box.setWindowTitle("提示");
        box.setText("取色功能仅可在本软件视频预览窗口内拾取画面颜色\n请打开视频预览后再使用取色器");
        QPushButton *open = box.addButton("打开视频预览", QMessageBox::AcceptRole);
        QPushButton *cancel = box.addButton("取消", QMessageBox::RejectRole);
        box.setDefaultButton(cancel);
        MessageBoxes::exec(&box);
        QCOMPARE(box.clickedButton(), open);
        const MessageBoxRequest &r = rec.requests.first();
        QCOMPARE(r.kind, MessageBoxRequest::Custom);
        QCOMPARE(r.defaultButton, QString("取消"));
        QCOMPARE(r.buttonIds, (QList<QMessageBox::StandardButton>{QMessageBox::NoButton, QMessageBox::NoButton}));

        rec.answer = [](const MessageBoxRequest &r) { return r.buttonIndex("取消"); };
        MessageBoxes::exec(&box);
        QCOMPARE(box.clickedButton(), cancel);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "test_message_boxes.moc"
