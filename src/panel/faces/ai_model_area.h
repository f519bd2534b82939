#pragma once

#include <QObject>

class FaceModelList;
class QComboBox;
class QPushButton;
class QWidget;

// The controls of the AI model area: the centred caption "AI人像追焦模型", the model
// combo (text = name, user data = model ID) and the column of "模型录入", the
// enable/disable button and "删除模型". It fills a container the page provides and
// knows nothing of cameras; the face-model flow drives it.
class AiModelArea : public QObject {
    Q_OBJECT
public:
    static constexpr int kIdRole = Qt::UserRole; // 256

    // Fills `container` (which already has its layout).
    explicit AiModelArea(QWidget *container);

    QWidget *container() const { return m_container; }
    QComboBox *combo() const { return m_combo; }
    QPushButton *addButton() const { return m_addButton; }
    QPushButton *enableButton() const { return m_enableButton; }
    QPushButton *deleteButton() const { return m_deleteButton; }

    // Shows the list's entries, with the combo's signals blocked; the current item
    // becomes `current` (-1: none).
    void showList(const FaceModelList &list, int current);
    // Renames items by position from the list, signals blocked.
    void showNames(const FaceModelList &list);
    // Selects an item with the combo's signals blocked.
    void selectQuietly(int index);
    // "模型启用中" in green with the rename icon, or "模型启用" in grey with the add icon.
    void setEnableButtonState(bool enabled);
    bool enableButtonShowsEnabled() const { return m_showsEnabled; }

signals:
    void addClicked();
    void enableClicked();
    void deleteClicked();
    void modelSelected(int index);

private:
    QWidget *m_container;
    QComboBox *m_combo = nullptr;
    QPushButton *m_addButton = nullptr;
    QPushButton *m_enableButton = nullptr;
    QPushButton *m_deleteButton = nullptr;
    bool m_showsEnabled = false;
};
