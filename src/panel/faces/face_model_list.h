#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The camera's face-focus models as the panel lists them: entry i of the camera's
// "FaceIDs" and entry i of its "FaceNames" describe one model. A model without a
// name shows its position as three digits ("001"). A model the camera lists with ID 0
// is addressed by its position (index + 1), unless that number is the real ID of
// another model: then it has no usable ID and nothing is ever sent for it.
//
// A model being recorded exists here from the name dialog until its collection ends;
// it is not "listed": the camera does not know its ID yet.
class FaceModelList {
public:
    // Longest model name in UTF-8 bytes; the camera keeps names of this size.
    static constexpr int kMaxNameBytes = 63;

    struct Entry {
        int id = 0; // the ID the panel uses; 0 when the model has none
        QString name;
        bool listed = true; // the camera listed this model
    };

    enum class NameCheck { Ok, Empty, Duplicate, TooLong };

    static QString positionName(int position); // 1 → "001"

    // A new "FaceIDs" list: rebuilds every entry, naming them from the last names.
    void setFaceIds(const QList<int> &ids);
    // A new "FaceNames" list: kept for later lists, and applied by position to the
    // entries there are now. Returns the number of entries renamed.
    int setFaceNames(const QStringList &names);
    QStringList faceNames() const { return m_names; }
    // ID 0 entries whose position belongs to another model in the last list.
    QList<int> collisions() const { return m_collisions; }

    int count() const { return int(m_entries.size()); }
    const Entry &at(int index) const { return m_entries.at(index); }
    QList<Entry> entries() const { return m_entries; }
    bool isValidIndex(int index) const { return index >= 0 && index < count(); }
    int idAt(int index) const { return isValidIndex(index) ? m_entries[index].id : 0; }
    bool isListedId(int id) const;
    int indexOfId(int id) const;

    // The ID for a new model: the largest ID in the list (at least 0) + 1.
    int newModelId() const;
    // The smallest positive ID no entry carries (1 for an empty list).
    int smallestFreeId() const;
    // A trimmed name for a new model against the camera's names (case-sensitive).
    NameCheck checkName(const QString &name) const;

    // A model being recorded, appended at the end; returns its index.
    int appendUnlisted(int id, const QString &name);
    void removeAt(int index);
    void renameAt(int index, const QString &name);

private:
    QList<Entry> m_entries;
    QStringList m_names;
    QList<int> m_collisions;
};
