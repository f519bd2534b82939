#include "face_model_list.h"

#include <QDebug>

QString FaceModelList::positionName(int position) {
    return QStringLiteral("%1").arg(position, 3, 10, QLatin1Char('0'));
}

void FaceModelList::setFaceIds(const QList<int> &ids) {
    m_entries.clear();
    m_collisions.clear();
    for (int i = 0; i < ids.size(); ++i) {
        Entry e;
        e.name = i < m_names.size() && !m_names[i].isEmpty() ? m_names[i] : positionName(i + 1);
        e.id = ids[i] > 0 ? ids[i] : i + 1;
        if (ids[i] <= 0 && ids.contains(e.id)) {
            // The position would address another model; this one cannot be addressed.
            qWarning() << "Face model at position" << i + 1 << "has no ID, and ID" << e.id
                       << "belongs to another model; it will not be used";
            m_collisions << i;
            e.id = 0;
        }
        m_entries << e;
    }
}

int FaceModelList::setFaceNames(const QStringList &names) {
    m_names = names;
    const int n = qMin(count(), int(names.size()));
    for (int i = 0; i < n; ++i)
        m_entries[i].name = names[i].isEmpty() ? positionName(i + 1) : names[i];
    return n;
}

bool FaceModelList::isListedId(int id) const {
    const int i = indexOfId(id);
    return i >= 0 && m_entries[i].listed;
}

int FaceModelList::indexOfId(int id) const {
    if (id <= 0)
        return -1;
    for (int i = 0; i < count(); ++i)
        if (m_entries[i].id == id)
            return i;
    return -1;
}

int FaceModelList::newModelId() const {
    int largest = 0;
    for (const Entry &e : m_entries)
        largest = qMax(largest, e.id);
    return largest + 1;
}

int FaceModelList::smallestFreeId() const {
    int id = 1;
    while (indexOfId(id) >= 0)
        ++id;
    return id;
}

FaceModelList::NameCheck FaceModelList::checkName(const QString &name) const {
    if (name.isEmpty())
        return NameCheck::Empty;
    if (m_names.contains(name))
        return NameCheck::Duplicate;
    if (name.toUtf8().size() > kMaxNameBytes)
        return NameCheck::TooLong;
    return NameCheck::Ok;
}

int FaceModelList::appendUnlisted(int id, const QString &name) {
    m_entries << Entry{id, name, false};
    return count() - 1;
}

void FaceModelList::removeAt(int index) {
    if (isValidIndex(index))
        m_entries.removeAt(index);
}

void FaceModelList::renameAt(int index, const QString &name) {
    if (isValidIndex(index))
        m_entries[index].name = name;
}
