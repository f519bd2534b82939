#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// The four device buttons of the control panel, each with its name label below.
class DeviceSlotStrip : public QObject {
    Q_OBJECT
public:
    static constexpr int kSlotCount = 4;

    DeviceSlotStrip(QHBoxLayout *row, QWidget *parent);

    QPushButton *button(int slot) const { return m_slotButtons.value(slot); }
    QLabel *label(int slot) const { return m_slotLabels.value(slot); }
    QWidget *container(int slot) const { return m_slotContainers.value(slot); }

    // Shows slot `slot` for a listed camera.
    void showDevice(int slot, const QString &labelText, const QString &toolTip, const QString &iconBase);
    // Hides and resets every slot.
    void clear();
    // The device button style with its icon base; `active` lights the button.
    static void setDeviceButtonStyle(QPushButton *button, const QString &iconBase, bool active);
    static void setPlainStyle(QPushButton *button);
    // A label text cut to its first 10 characters plus "..." when longer than 12.
    static QString elide(const QString &text);

signals:
    void slotClicked(int slot);
    void slotLabelDoubleClicked(int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<QPushButton *> m_slotButtons;
    QList<QLabel *> m_slotLabels;
    QList<QWidget *> m_slotContainers;
};
