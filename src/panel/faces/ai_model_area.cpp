#include "ai_model_area.h"

#include "face_model_list.h"
#include "param_control.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const char *const kIconPath = ":/icons/resources/icons/";

QString buttonStyle(const char *background, const char *hover) {
    return QStringLiteral(
               "QPushButton { background-color: %1; color: white; border: none; border-radius: 4px;"
               " font-size: 12px; }"
               "QPushButton:hover { background-color: %2; }"
               "QPushButton:pressed { background-color: %2; }")
        .arg(QLatin1String(background), QLatin1String(hover));
}

QPushButton *areaButton(const QString &text, const char *icon, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setFixedSize(100, 30);
    button->setIcon(QIcon(QLatin1String(kIconPath) + QLatin1String(icon)));
    button->setIconSize(QSize(14, 14));
    return button;
}

} // namespace

AiModelArea::AiModelArea(QWidget *container) : QObject(container), m_container(container) {
    QLayout *layout = container->layout();
    if (!layout)
        layout = new QVBoxLayout(container);

    auto *caption = new QLabel(tr("AI人像追焦模型"), container);
    caption->setAlignment(Qt::AlignCenter);
    caption->setStyleSheet("color: white; font-size: 13px; background: transparent;");
    layout->addWidget(caption);

    auto *comboRow = new QHBoxLayout;
    m_combo = new QComboBox(container);
    m_combo->setFixedWidth(200);
    ParamControl::styleCombo(m_combo);
    m_combo->setCurrentIndex(-1);
    comboRow->addStretch();
    comboRow->addWidget(m_combo);
    comboRow->addStretch();
    if (auto *box = qobject_cast<QBoxLayout *>(layout))
        box->addLayout(comboRow);

    auto *column = new QVBoxLayout;
    column->setSpacing(15);
    column->setAlignment(Qt::AlignHCenter);
    m_addButton = areaButton(tr("模型录入"), "replace.png", container);
    m_addButton->setStyleSheet(buttonStyle("#43474c", "#1e90ff"));
    m_enableButton = areaButton(tr("模型启用"), "add.png", container);
    m_enableButton->setObjectName(QStringLiteral("modelEnableBtn"));
    m_deleteButton = areaButton(tr("删除模型"), "delete.png", container);
    m_deleteButton->setStyleSheet(buttonStyle("#43474c", "#dc3545"));
    for (QPushButton *b : {m_addButton, m_enableButton, m_deleteButton})
        column->addWidget(b, 0, Qt::AlignHCenter);
    if (auto *box = qobject_cast<QBoxLayout *>(layout))
        box->addLayout(column);
    setEnableButtonState(false);

    connect(m_addButton, &QPushButton::clicked, this, &AiModelArea::addClicked);
    connect(m_enableButton, &QPushButton::clicked, this, &AiModelArea::enableClicked);
    connect(m_deleteButton, &QPushButton::clicked, this, &AiModelArea::deleteClicked);
    connect(m_combo, &QComboBox::currentIndexChanged, this, &AiModelArea::modelSelected);
}

void AiModelArea::showList(const FaceModelList &list, int current) {
    const QSignalBlocker block(m_combo);
    m_combo->clear();
    for (const FaceModelList::Entry &e : list.entries())
        m_combo->addItem(e.name, e.id);
    m_combo->setCurrentIndex(current);
}

void AiModelArea::showNames(const FaceModelList &list) {
    const QSignalBlocker block(m_combo);
    const int n = qMin(m_combo->count(), list.count());
    for (int i = 0; i < n; ++i)
        m_combo->setItemText(i, list.at(i).name);
}

void AiModelArea::selectQuietly(int index) {
    const QSignalBlocker block(m_combo);
    m_combo->setCurrentIndex(index);
}

void AiModelArea::setEnableButtonState(bool enabled) {
    m_showsEnabled = enabled;
    if (enabled) {
        m_enableButton->setText(tr("模型启用中"));
        m_enableButton->setIcon(QIcon(QLatin1String(kIconPath) + QLatin1String("rename.png")));
        m_enableButton->setStyleSheet(buttonStyle("#4CAF50", "#388E3C"));
    } else {
        m_enableButton->setText(tr("模型启用"));
        m_enableButton->setIcon(QIcon(QLatin1String(kIconPath) + QLatin1String("add.png")));
        m_enableButton->setStyleSheet(buttonStyle("#43474c", "#1e90ff"));
    }
}
