#pragma once

#include "device_entry.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>

#include <array>

class DeviceSlotStrip;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The cameras the last refresh identified, as the control panel lists them: a hidden
// tree with one item per camera (name, serial, build date, model and device index in
// its data), the first four also on the slot strip under their remembered names, and
// the identity kept for each device index. It counts the cameras with a slot, finds
// the slot of a series or a serial and lights the button of the chosen one; choosing
// a camera is the panel's business.
class DeviceList : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 20;

    // The tree is a hidden child of `window`.
    DeviceList(QWidget *window, DeviceSlotStrip *slotStrip, QObject *parent);

    QTreeWidget *tree() const { return m_tree; }
    QTreeWidgetItem *rootItem() const { return m_rootItem; }
    // The item shown on slot `slot`, null when the slot is empty.
    QTreeWidgetItem *item(int slot) const { return m_items.value(slot); }
    int slotOf(QTreeWidgetItem *item) const { return int(m_items.indexOf(item)); }
    // The identity at a device index; an empty one outside the list.
    const DeviceEntry &entry(int index) const;
    static QString modelOf(const QTreeWidgetItem *item);

    // The names users gave their cameras, by name key: a camera is listed under its own.
    const QMap<QString, QString> &names() const { return m_names; }
    void setNames(const QMap<QString, QString> &names) { m_names = names; }
    void loadNames();
    void saveNames() const;
    // Stores a name under its key and saves the names.
    void rememberName(const QString &key, const QString &name);

    // A camera answered with its identity: listed, shown on its slot if it has one.
    void add(int index, const QString &deviceName, const QString &serial, const QString &buildDate,
             const QString &productModel);
    // Empties the tree and the slots.
    void clear();
    // The connections closed: no index has an identity any more.
    void forgetEntries();

    // Counts (and logs) the cameras with an enabled slot button.
    int countConnected();
    int connectedCount() const { return m_connectedCount; }
    QStringList connectedSeries() const;
    // The first slot showing a camera of `series` ("A1" also takes "A3" and "QV-AI k4");
    // -1, after logging every listed camera, when there is none.
    int slotOfSeries(const QString &series) const;
    // The first slot showing the camera with `serial`; -1 when none does.
    int slotOfSerial(const QString &serial) const;
    // Lights the button of slot `active` and dims the others.
    void highlight(int active);
    // Lights the button of `slot`, leaving the others as they are.
    void light(int slot);

    // Every listed camera, with its device index, in list order.
    QList<QPair<int, DeviceEntry>> listed() const;
    // The listed camera with `serial`; null when none is.
    QTreeWidgetItem *listedWithSerial(const QString &serial) const;

private:
    DeviceSlotStrip *m_slots;
    QMap<QString, QString> m_names;
    QTreeWidget *m_tree;
    QTreeWidgetItem *m_rootItem;
    QList<QTreeWidgetItem *> m_items; // by slot
    std::array<DeviceEntry, kMaxEntries> m_entries;
    int m_connectedCount = 0;
};
