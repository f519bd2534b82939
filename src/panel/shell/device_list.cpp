#include "device_list.h"

#include "device_models.h"
#include "device_name_store.h"
#include "device_slot_strip.h"

#include <QDebug>
#include <QPushButton>
#include <QTreeWidget>

DeviceList::DeviceList(QWidget *window, DeviceSlotStrip *slotStrip, QObject *parent)
    : QObject(parent), m_slots(slotStrip)
{
    // The tree holds every listed camera; only the first four get a button.
    m_tree = new QTreeWidget(window);
    m_tree->hide();
    m_tree->setColumnCount(1);
    m_rootItem = new QTreeWidgetItem(m_tree, QStringList{tr("所有设备")});
}

const DeviceEntry &DeviceList::entry(int index) const
{
    static const DeviceEntry none;
    return index >= 0 && index < kMaxEntries ? m_entries[size_t(index)] : none;
}

QString DeviceList::modelOf(const QTreeWidgetItem *item)
{
    return item->data(3, Qt::UserRole).toString();
}

void DeviceList::loadNames()
{
    m_names = DeviceNameStore::load();
}

void DeviceList::saveNames() const
{
    DeviceNameStore::save(m_names);
}

void DeviceList::rememberName(const QString &key, const QString &name)
{
    m_names[key] = name;
    saveNames();
}

void DeviceList::add(int index, const QString &deviceName, const QString &serial, const QString &buildDate,
                     const QString &productModel)
{
    const QString tail = DeviceEntry::serialTail(serial);
    auto *item = new QTreeWidgetItem(m_rootItem, QStringList{deviceName + "-" + tail + "-" + buildDate});
    item->setData(0, Qt::UserRole, deviceName);
    item->setData(1, Qt::UserRole, serial);
    item->setData(2, Qt::UserRole, buildDate);
    item->setData(3, Qt::UserRole, productModel);
    item->setData(4, Qt::UserRole, index);
    if (index >= 0 && index < DeviceSlotStrip::kSlotCount) {
        while (m_items.size() <= index)
            m_items << nullptr;
        m_items[index] = item;
        const QString key = displayNameForModel(productModel) + "-" + tail;
        const QString label = m_names.value(key, key);
        m_slots->showDevice(index, label,
                            tr("型号: %1\n序列号: %2\n生产日期: %3").arg(productModel, serial, buildDate),
                            iconBaseForModel(productModel));
        if (index < kMaxEntries)
            m_entries[size_t(index)] = DeviceEntry{deviceName, serial, buildDate, productModel, true};
        qDebug() << "更新设备信息: index=" << index << ", SN=" << serial << ", Name=" << deviceName;
        qDebug() << "设备" << index + 1 << "已连接，显示对应按钮";
    } else if (index >= 0 && index < kMaxEntries) {
        m_entries[size_t(index)] = DeviceEntry{deviceName, serial, buildDate, productModel, true};
    }
}

void DeviceList::clear()
{
    qDeleteAll(m_rootItem->takeChildren());
    m_slots->clear();
    m_items.clear();
    m_connectedCount = 0;
}

void DeviceList::forgetEntries()
{
    for (DeviceEntry &entry : m_entries)
        entry = DeviceEntry();
}

int DeviceList::countConnected()
{
    int count = 0;
    for (int i = 0; i < DeviceSlotStrip::kSlotCount; ++i)
        if (m_slots->button(i)->isEnabled() && m_items.value(i))
            ++count;
    m_connectedCount = count;
    qDebug() << "当前连接的设备数量:" << count;
    return count;
}

QStringList DeviceList::connectedSeries() const
{
    QStringList series;
    for (int i = 0; i < DeviceSlotStrip::kSlotCount; ++i) {
        QTreeWidgetItem *item = m_items.value(i);
        if (!item)
            continue;
        const QString name = seriesOfModel(modelOf(item));
        if (!name.isEmpty())
            series << name;
    }
    return series;
}

int DeviceList::slotOfSeries(const QString &series) const
{
    int found = -1;
    for (int i = 0; i < DeviceSlotStrip::kSlotCount && found < 0; ++i) {
        QTreeWidgetItem *item = m_items.value(i);
        if (!item)
            continue;
        const QString model = modelOf(item);
        const QString name = displayNameForModel(model);
        qDebug() << "检查设备" << i << ": 产品型号=" << model << ", 显示名称=" << name;
        if (name == series || (series == "A1" && (name == "A3" || name == "QV-AI k4")))
            found = i;
    }
    if (found < 0) {
        qDebug() << "所有检测到的设备:";
        for (QTreeWidgetItem *item : std::as_const(m_items))
            if (item)
                qDebug() << item->text(0);
    }
    return found;
}

int DeviceList::slotOfSerial(const QString &serial) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i] && m_items[i]->data(1, Qt::UserRole).toString() == serial)
            return i;
    return -1;
}

void DeviceList::highlight(int active)
{
    for (int i = 0; i < DeviceSlotStrip::kSlotCount; ++i) {
        QPushButton *button = m_slots->button(i);
        if (QTreeWidgetItem *item = m_items.value(i))
            DeviceSlotStrip::setDeviceButtonStyle(button, iconBaseForModel(modelOf(item)), i == active);
        else if (button->isEnabled())
            DeviceSlotStrip::setPlainStyle(button);
    }
}

void DeviceList::light(int slot)
{
    DeviceSlotStrip::setDeviceButtonStyle(m_slots->button(slot), iconBaseForModel(modelOf(m_items[slot])), true);
}

QList<QPair<int, DeviceEntry>> DeviceList::listed() const
{
    QList<QPair<int, DeviceEntry>> cameras;
    for (int i = 0; i < m_rootItem->childCount(); ++i) {
        const QTreeWidgetItem *item = m_rootItem->child(i);
        cameras << qMakePair(item->data(4, Qt::UserRole).toInt(),
                             DeviceEntry{item->data(0, Qt::UserRole).toString(), item->data(1, Qt::UserRole).toString(),
                                         item->data(2, Qt::UserRole).toString(), modelOf(item), true});
    }
    return cameras;
}

QTreeWidgetItem *DeviceList::listedWithSerial(const QString &serial) const
{
    for (int i = 0; i < m_rootItem->childCount() && !serial.isEmpty(); ++i) {
        QTreeWidgetItem *item = m_rootItem->child(i);
        if (item->data(1, Qt::UserRole).toString() == serial)
            return item;
    }
    return nullptr;
}
