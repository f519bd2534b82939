// Every menu, file dialog and box the control panel opens is rendered offscreen, and
// each text in it must stand out from what is behind it.
#include "file_dialogs.h"
#include "message_boxes.h"
#include "param_control.h"
#include "simulated_camera_bus.h"
#include "widget.h"

#include <QAbstractFileIconProvider>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>

namespace {
constexpr quint16 kVendor = 0x2E7E;
constexpr double kMinimumContrast = 3.0;

double luminance(QRgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The background is the commonest opaque colour; the text is the colour that stands
// out most from it.
double textContrast(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) == 255)
                ++counts[c];
        }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = qMax(best, contrast(background, it.key()));
    return best;
}

// The parts of a window that show text, with a name for failure messages.
QList<QPair<QString, QWidget *>> textParts(QWidget *window)
{
    QList<QPair<QString, QWidget *>> parts;
    if (qobject_cast<QMenu *>(window))
        parts.append({QStringLiteral("menu"), window});
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window) || w->width() < 8 || w->height() < 8)
            continue;
        if (auto *label = qobject_cast<QLabel *>(w); label && !label->text().isEmpty())
            parts.append({label->text(), w});
        else if (auto *button = qobject_cast<QAbstractButton *>(w); button && !button->text().isEmpty())
            parts.append({button->text(), w});
        else if (auto *edit = qobject_cast<QLineEdit *>(w); edit && !edit->text().isEmpty())
            parts.append({edit->text(), w});
        else if (auto *combo = qobject_cast<QComboBox *>(w); combo && !combo->currentText().isEmpty())
            parts.append({combo->currentText(), w});
        else if (auto *view = qobject_cast<QAbstractItemView *>(w); view && view->model() &&
                                                                   view->model()->rowCount(view->rootIndex()) > 0)
            parts.append({w->metaObject()->className(), view->viewport()});
    }
    return parts;
}

// File dialogs without icons, so that only their texts are measured.
class NoIcons : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType) const override { return QIcon(); }
    QIcon icon(const QFileInfo &) const override { return QIcon(); }
};

using Opener = std::function<QWidget *(Widget &panel, const QString &folder)>;
} // namespace

Q_DECLARE_METATYPE(Opener)

class TestReadability : public QObject {
    Q_OBJECT

private slots:
    void textsStandOut_data()
    {
        QTest::addColumn<Opener>("open");
        QTest::newRow("参数配置 menu") << Opener([](Widget &panel, const QString &) -> QWidget * {
            panel.configButton()->click();
            return QApplication::activePopupWidget();
        });
        QTest::newRow("设备重置 menu") << Opener([](Widget &panel, const QString &) -> QWidget * {
            panel.showDeviceResetMenu();
            return QApplication::activePopupWidget();
        });
        for (const auto kind : {FileDialogs::Kind::Save, FileDialogs::Kind::Open}) {
            QTest::newRow(kind == FileDialogs::Kind::Save ? "export dialog" : "import dialog")
                << Opener([kind](Widget &panel, const QString &folder) -> QWidget * {
                       QFileDialog *dialog = FileDialogs::createDialog(kind, &panel, "导出相机配置",
                                                                       folder + "/camera.config",
                                                                       "配置文件 (*.config)",
                                                                       QLatin1String(FileDialogs::kDarkStyle));
                       dialog->setIconProvider(new NoIcons);
                       return dialog;
                   });
        }
        QTest::newRow("styled box") << Opener([](Widget &panel, const QString &) -> QWidget * {
            QMessageBox *box = MessageBoxes::createStyledMessageBox(&panel, "重置色度", "确定要恢复色度默认设置吗?",
                                                                    QMessageBox::Ok | QMessageBox::Cancel);
            box->setDefaultButton(QMessageBox::Cancel);
            MessageBoxes::applyStyledCaptions(box);
            return box;
        });
        QTest::newRow("information box") << Opener([](Widget &panel, const QString &) -> QWidget * {
            return MessageBoxes::createPlainMessageBox(QMessageBox::Information, &panel, "重置色度",
                                                       "色度设置已恢复为默认值", QMessageBox::Ok);
        });
        QTest::newRow("notice") << Opener([](Widget &panel, const QString &folder) -> QWidget * {
            return MessageBoxes::createTimedNotice(&panel, "成功", "相机配置已成功导出到: " + folder);
        });
    }

    void textsStandOut()
    {
        QFETCH(Opener, open);
        SimulatedCameraBus bus(kVendor);
        HidBackend::setActive(&bus);
        QTemporaryDir folder;
        QFile file(folder.filePath("camera.config"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        {
            Widget panel;
            panel.show();
            QVERIFY(QTest::qWaitForWindowExposed(&panel));
            QPointer<QWidget> window = open(panel, folder.path());
            QVERIFY(window);
            if (auto *box = qobject_cast<QMessageBox *>(window.data()))
                MessageBoxes::fitToText(box);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            if (qobject_cast<QFileDialog *>(window.data())) {
                auto *files = window->findChild<QAbstractItemView *>("treeView");
                QVERIFY(files);
                QTRY_VERIFY(files->model()->rowCount(files->rootIndex()) > 0);
            }
            const QList<QPair<QString, QWidget *>> parts = textParts(window);
            QVERIFY(!parts.isEmpty());
            const QImage shot = window->grab().toImage();
            for (const auto &[name, part] : parts) {
                const QRect area(part->mapTo(window, QPoint()), part->size());
                const double ratio = textContrast(shot.copy(area.adjusted(3, 3, -3, -3)));
                if (ratio < kMinimumContrast)
                    QFAIL(qPrintable(QStringLiteral("%1: contrast %2").arg(name).arg(ratio, 0, 'f', 2)));
            }
            if (!qobject_cast<QMenu *>(window.data()))
                delete window.data();
            else
                window->close();
        }
        HidBackend::setActive(nullptr);
    }

    // A parameter combo's list: dark from edge to edge (no light bands above or below
    // the items) and the current item marked.
    void comboListIsDarkAndMarksTheCurrentItem()
    {
        QWidget host;
        host.setStyleSheet(QStringLiteral("background-color: transparent;"));
        auto *combo = new QComboBox(&host);
        combo->addItems({QStringLiteral("自动曝光"), QStringLiteral("手动曝光"), QStringLiteral("快门优先")});
        ParamControl::styleCombo(combo);
        combo->setCurrentIndex(1);
        host.resize(240, 40);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        QWidget *list = view->window();
        QVERIFY(QTest::qWaitForWindowExposed(list));
        const QImage shot = list->grab().toImage();
        const QRect current = view->visualRect(combo->model()->index(1, 0));
        const int x = shot.width() - 4; // right of the texts
        for (int y = 1; y < shot.height() - 1; ++y) {
            if (!current.contains(view->viewport()->mapFrom(list, QPoint(x, y))))
                QVERIFY2(luminance(shot.pixel(x, y)) < 0.3,
                         qPrintable(QStringLiteral("light row %1 of %2").arg(y).arg(shot.height())));
        }
        const QPoint inCurrent = view->viewport()->mapTo(list, current.topLeft() + QPoint(2, 2));
        QCOMPARE(QColor(shot.pixel(inCurrent)).name(), QString("#1b89ef"));
        combo->hidePopup();
    }
};

QTEST_MAIN(TestReadability)
#include "test_readability.moc"
