#include "collapsible_group.h"
#include "hover_refresh.h"
#include "log_capture.h"
#include "number_edit.h"
#include "slider_edit_helper.h"
#include "slider_edit_helper_ex.h"
#include "slider_row.h"
#include "wheel_event_filter.h"

#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <memory>

namespace {
QImage arrowImage(const CollapsibleGroup &group)
{
    return group.arrowButton()->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}
QImage expectedArrow(bool expanded)
{
    return CollapsibleGroup::arrowPixmap(expanded).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Replaces the edit's text as a user would (select all, type) and leaves the field.
void typeAndLeave(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    edit->del();
    QTest::keyClicks(edit, text);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &focusOut);
}

void sendWheel(QWidget *target, int angleDeltaY)
{
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent wheel(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angleDeltaY), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
}

// A signed or temperature row on its own page.
struct Row {
    explicit Row(int minimum, int maximum, int initial, SliderRow::Kind kind = SliderRow::Kind::Signed)
    {
        row = SliderRow::build(&page, "caption", minimum, maximum, initial, kind);
        auto *layout = new QVBoxLayout(&page);
        layout->addLayout(row.layout);
    }
    QWidget page;
    SliderRow row;
};
} // namespace

class TestWidgetKit : public QObject {
    Q_OBJECT

private slots:
    // A button the pointer left while a menu or a modal box held it loses its hover
    // once that window closes, or after the release that ends a press held elsewhere.
    void hoverEndsWhenThePointerLeftUnseen_data()
    {
        QTest::addColumn<QString>("closing");
        QTest::newRow("menu") << "menu";
        QTest::newRow("modal dialog") << "dialog";
        QTest::newRow("mouse release") << "release";
    }
    void hoverEndsWhenThePointerLeftUnseen()
    {
        QFETCH(QString, closing);
        HoverRefresh::install();
        QWidget window;
        window.resize(300, 200);
        auto *button = new QPushButton("设备重置", &window);
        button->setGeometry(10, 10, 100, 30);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCursor::setPos(window.mapToGlobal(QPoint(250, 150)));
        QCoreApplication::processEvents();
        // The pointer was over the button and left it while another window had it:
        // the button was never told.
        button->setAttribute(Qt::WA_UnderMouse);
        if (closing == "menu") {
            QMenu menu;
            menu.addAction("重启");
            menu.popup(window.mapToGlobal(QPoint(20, 50)));
            QVERIFY(QTest::qWaitForWindowExposed(&menu));
            menu.hide();
        } else if (closing == "dialog") {
            QDialog dialog(&window);
            dialog.setModal(true);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            dialog.hide();
        } else {
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(240, 140), window.mapToGlobal(QPointF(240, 140)),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&window, &release);
        }
        QTRY_VERIFY(!button->underMouse());
    }

    void groupStartsExpandedWithDownArrow()
    {
        CollapsibleGroup group("图像调节", [](QWidget *parent) { return new QLabel("page", parent); });
        QVERIFY(group.isExpanded());
        QCOMPARE(group.title(), QString("图像调节"));
        QCOMPARE(arrowImage(group), expectedArrow(true));
        QCOMPARE(group.header()->height() > 0 ? group.header()->maximumHeight() : 40, 40);
        auto *page = group.content()->findChild<QLabel *>();
        QVERIFY(page);
        QCOMPARE(page->text(), QString("page"));
        QCOMPARE(page->parentWidget(), group.content());
        QVERIFY(!group.iconLabel()->isVisibleTo(&group));
    }

    void groupFoldsAndUnfoldsOnce()
    {
        CollapsibleGroup group("对焦", [](QWidget *parent) { return new QLabel("page", parent); });
        group.show();
        QSignalSpy unfolded(&group, &CollapsibleGroup::expanded);

        group.setCollapsed(false); // already there
        QCOMPARE(unfolded.count(), 0);
        QVERIFY(group.content()->isVisible());

        group.setCollapsed(true);
        group.setCollapsed(true);
        QVERIFY(!group.isExpanded());
        QVERIFY(!group.content()->isVisible());
        QCOMPARE(group.content()->maximumHeight(), 0);
        QCOMPARE(arrowImage(group), expectedArrow(false));
        QCOMPARE(unfolded.count(), 0); // folding emits nothing

        group.setCollapsed(false);
        QVERIFY(group.isExpanded());
        QVERIFY(group.content()->isVisible());
        QCOMPARE(group.content()->maximumHeight(), QWIDGETSIZE_MAX);
        QCOMPARE(arrowImage(group), expectedArrow(true));
        QCOMPARE(unfolded.count(), 1);

        group.toggleCollapse();
        group.toggleCollapse();
        QCOMPARE(unfolded.count(), 2);
    }

    void groupHeaderAndArrowClicks()
    {
        CollapsibleGroup group("设置");
        group.resize(300, 200);
        group.show();
        QVERIFY(QTest::qWaitForWindowExposed(&group));

        QTest::mousePress(group.header(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(group.header(), Qt::RightButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(group.isExpanded());

        QTest::mousePress(group.header(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(!group.isExpanded());
        QTest::mouseRelease(group.header(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QVERIFY(!group.isExpanded());

        QTest::mouseClick(group.arrowButton(), Qt::LeftButton);
        QVERIFY(group.isExpanded()); // one click on the arrow toggles exactly once
    }

    void groupWithoutFactoryShowsPlaceholder()
    {
        CollapsibleGroup empty("调色盘");
        CollapsibleGroup nullResult("调色盘", [](QWidget *) -> QWidget * { return nullptr; });
        for (CollapsibleGroup *group : {&empty, &nullResult}) {
            const auto labels = group->content()->findChildren<QLabel *>();
            QCOMPARE(labels.size(), 1);
            QCOMPARE(labels.first()->text(), QString("没有自定义内容"));
        }
    }

    void groupIcon()
    {
        CollapsibleGroup group("曝光调整");
        QPixmap red(32, 32);
        red.fill(Qt::red);
        group.setIcon(QIcon(red));
        QVERIFY(group.iconLabel()->isVisibleTo(&group));
        QCOMPARE(group.iconLabel()->pixmap().size(), QSize(16, 16));

        group.setIcon(QIcon());
        QVERIFY(!group.iconLabel()->isVisibleTo(&group));
        QVERIFY(group.iconLabel()->pixmap().isNull());

        group.setIcon(QIcon(red));
        group.setIcon(QString(":/no/such/icon.png"));
        QVERIFY(!group.iconLabel()->isVisibleTo(&group));
    }

    void numberEditButtonsEmit()
    {
        NumberEdit edit;
        QCOMPARE(edit.minimumWidth(), 55);
        QCOMPARE(edit.maximumWidth(), 55);
        QSignalSpy plus(&edit, &NumberEdit::plusClicked);
        QSignalSpy minus(&edit, &NumberEdit::minusClicked);
        edit.plusButton()->click();
        edit.minusButton()->click();
        edit.minusButton()->click();
        QCOMPARE(plus.count(), 1);
        QCOMPARE(minus.count(), 2);
        QCOMPARE(edit.plusButton()->text(), QString("+"));
        QCOMPARE(edit.minusButton()->text(), QString("-"));
    }

    void signedBoxShowsAndTakesTypedValues()
    {
        Row r(-10, 10, 0);
        QLineEdit *edit = r.row.lineEdit;
        QCOMPARE(edit->text(), QString("0"));
        QSignalSpy changed(r.row.slider, &QSlider::valueChanged);

        typeAndLeave(edit, "+7");
        QCOMPARE(r.row.slider->value(), 7);
        QCOMPARE(edit->text(), QString("+7"));

        r.row.slider->setValue(0);
        typeAndLeave(edit, "7");
        QCOMPARE(r.row.slider->value(), 7);
        QCOMPARE(edit->text(), QString("+7"));

        // The slider already stands there: the box still shows the signed form.
        typeAndLeave(edit, "7");
        QCOMPARE(edit->text(), QString("+7"));

        typeAndLeave(edit, "-3");
        QCOMPARE(r.row.slider->value(), -3);
        QCOMPARE(edit->text(), QString("-3"));

        r.row.slider->setValue(0);
        typeAndLeave(edit, "");
        QCOMPARE(r.row.slider->value(), 0);
        QCOMPARE(edit->text(), QString("0"));

        // Out of range (the validator keeps a user from typing it; set it directly).
        edit->setText("15");
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(edit, &focusOut);
        QCOMPARE(r.row.slider->value(), 0);
        QCOMPARE(edit->text(), QString("0"));

        typeAndLeave(edit, "abc");
        QCOMPARE(edit->text(), QString("0"));

        r.row.slider->setValue(5);
        QCOMPARE(edit->text(), QString("+5"));
        QCOMPARE(changed.count(), 6); // 7, 0, 7, -3, 0, 5
    }

    void destroyingAFocusedBoxLeavesTheSliderAlone()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *slider = new QSlider(Qt::Horizontal, &window);
        slider->setRange(-10, 10);
        auto *box = new NumberEdit(&window);
        layout->addWidget(slider);
        layout->addWidget(box);
        SliderEditHelper helper(slider, box->lineEdit(), box);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->lineEdit()->setFocus();
        QTRY_VERIFY(box->lineEdit()->hasFocus());
        QTest::keyClicks(box->lineEdit(), "7");
        delete box; // loses focus on the way out; what it held is not a commit
        QCOMPARE(slider->value(), 0);
        helper.onPlusClicked(); // still bound to the slider
        QCOMPARE(slider->value(), 1);
    }

    void stepButtonsStayInRange()
    {
        Row r(-2, 2, 1);
        QSlider *slider = r.row.slider;
        QSignalSpy changed(slider, &QSlider::valueChanged);
        QSignalSpy actions(slider, &QSlider::actionTriggered);

        r.row.numberEdit->plusButton()->click();
        QCOMPARE(slider->value(), 2);
        QCOMPARE(r.row.lineEdit->text(), QString("+2"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(actions.count(), 1);
        QCOMPARE(actions.first().first().toInt(), int(QAbstractSlider::SliderMove));

        r.row.numberEdit->plusButton()->click(); // at the maximum
        QCOMPARE(slider->value(), 2);
        QCOMPARE(changed.count(), 1);

        slider->setValue(-2);
        changed.clear();
        r.row.numberEdit->minusButton()->click(); // at the minimum
        QCOMPARE(slider->value(), -2);
        QCOMPARE(changed.count(), 0);
        r.row.helper->onPlusClicked();
        QCOMPARE(slider->value(), -1);
        QCOMPARE(r.row.lineEdit->text(), QString("-1"));
    }

    void temperatureBox()
    {
        LogCapture log;
        Row r(28, 65, 28, SliderRow::Kind::ColorTemperature);
        QVERIFY(qobject_cast<SliderEditHelperEx *>(r.row.helper));
        QVERIFY(r.row.numberEdit->maximumWidth() >= 60);
        QLineEdit *edit = r.row.lineEdit;
        QCOMPARE(edit->text(), QString("2800K"));

        typeAndLeave(edit, "5650");
        QCOMPARE(r.row.slider->value(), 56);
        QCOMPARE(edit->text(), QString("5600K"));
        QVERIFY(log.contains("[DEBUG] [General] value:5650\n"));

        // Same step again: the box is rewritten to the step's temperature.
        typeAndLeave(edit, "5699");
        QCOMPARE(r.row.slider->value(), 56);
        QCOMPARE(edit->text(), QString("5600K"));

        r.row.slider->setValue(28);
        typeAndLeave(edit, "900");
        QCOMPARE(r.row.slider->value(), 28);
        QCOMPARE(edit->text(), QString("2800K"));

        edit->setText("4500K");
        QFocusEvent focusOut(QEvent::FocusOut);
        QApplication::sendEvent(edit, &focusOut);
        QCOMPARE(r.row.slider->value(), 45);

        edit->setText("5000k"); // only an upper-case K is dropped
        QApplication::sendEvent(edit, &focusOut);
        QCOMPARE(r.row.slider->value(), 45);
        QCOMPARE(edit->text(), QString("4500K"));
        QVERIFY(log.contains("value:0\n"));

        r.row.numberEdit->plusButton()->click();
        QCOMPARE(edit->text(), QString("4600K"));
    }

    // Every value a box can show fits in it, in the font it is shown in.
    void boxesFitTheirWidestValue_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<bool>("temperature");
        QTest::newRow("signed") << -50 << 50 << false;
        QTest::newRow("wide signed") << -1000 << 1000 << false;
        QTest::newRow("colour temperature") << 25 << 90 << true;
    }

    void boxesFitTheirWidestValue()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(bool, temperature);
        Row r(minimum, maximum, minimum,
              temperature ? SliderRow::Kind::ColorTemperature : SliderRow::Kind::Signed);
        r.page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&r.page));
        QLineEdit *edit = r.row.lineEdit;
        const QFontMetrics metrics(edit->font());
        for (int value : {minimum, maximum, (minimum + maximum) / 2}) {
            r.row.slider->setValue(value);
            // The edit keeps 2 px on each side, and its padding 3 px.
            QVERIFY2(edit->width() - 10 >= metrics.horizontalAdvance(edit->text()),
                     qPrintable(QString("%1 in %2 px").arg(edit->text()).arg(edit->width())));
        }
        QVERIFY(r.row.numberEdit->width() >= NumberEdit::kWidth);
    }

    void wheelScrollsThePageNotTheSlider()
    {
        QScrollArea area;
        auto *page = new QWidget;
        page->setFixedSize(300, 2000);
        auto *layout = new QVBoxLayout(page);
        SliderRow row = SliderRow::build(page, "亮度", -50, 50, 0);
        layout->addLayout(row.layout);
        layout->addStretch();
        area.setWidget(page);
        area.resize(320, 300);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        QScrollBar *bar = area.verticalScrollBar();
        QVERIFY(bar->maximum() > 100);
        bar->setValue(50);

        sendWheel(row.slider, -120); // one notch down
        QCOMPARE(bar->value(), 60);
        QCOMPARE(row.slider->value(), 0);
        sendWheel(row.slider, 240);
        QCOMPARE(bar->value(), 40);
        sendWheel(row.slider, 30); // 30 / 12 truncates to 2
        QCOMPARE(bar->value(), 38);
        sendWheel(row.slider, -11); // less than one unit
        QCOMPARE(bar->value(), 38);
        QCOMPARE(row.slider->value(), 0);

        // A window opened from the page is not part of it: its slider takes the wheel.
        QDialog dialog(page);
        auto *dialogSlider = new QSlider(Qt::Horizontal, &dialog);
        dialogSlider->setRange(0, 100);
        dialogSlider->setValue(50);
        WheelEventFilter::install(dialogSlider);
        sendWheel(dialogSlider, -120);
        QCOMPARE(bar->value(), 38);
        QVERIFY(dialogSlider->value() != 50);
    }

    void wheelOutsideScrollAreaReachesTheSlider()
    {
        Row r(-50, 50, 0);
        sendWheel(r.row.slider, 120);
        QVERIFY(r.row.slider->value() != 0);

        QObject plain;
        WheelEventFilter filter;
        plain.installEventFilter(&filter);
        QWheelEvent wheel(QPointF(), QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&plain, &wheel); // not a widget: passes through untouched
    }

    void rowVisibility()
    {
        Row r(0, 100, 30);
        r.page.show();
        QCOMPARE(r.row.lineEdit->text(), QString("+30"));
        r.row.setVisible(false);
        QVERIFY(!r.row.label->isVisible() && !r.row.slider->isVisible() && !r.row.numberEdit->isVisible());
        r.row.setVisible(true);
        QVERIFY(r.row.label->isVisible() && r.row.slider->isVisible() && r.row.numberEdit->isVisible());
    }
};

QTEST_MAIN(TestWidgetKit)
#include "test_widget_kit.moc"
