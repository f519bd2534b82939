#include "collection_verdict_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

CollectionVerdictDialog::CollectionVerdictDialog(const QString &title, const QString &text, QWidget *parent)
    : QDialog(parent), m_text(text) {
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kWidth, kHeight);
    setModal(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 30, 30, 30);
    layout->setSpacing(20);
    auto *label = new QLabel(text, this);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setStyleSheet("color: white; font-size: 14px; background: transparent;");
    layout->addWidget(label, 1);

    m_row = new QHBoxLayout;
    m_row->setSpacing(20);
    m_row->addStretch();
    m_row->addStretch();
    layout->addLayout(m_row);
}

QPushButton *CollectionVerdictDialog::addButton(const QString &text, const char *colour, const char *hover) {
    auto *button = new QPushButton(text, this);
    button->setFixedSize(120, 40);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: white; border: none;"
                                         " border-radius: 6px; font-size: 14px; }"
                                         "QPushButton:hover { background-color: %2; }")
                              .arg(QLatin1String(colour), QLatin1String(hover)));
    m_row->insertWidget(m_row->count() - 1, button); // before the closing stretch
    m_buttons << button;
    return button;
}

void CollectionVerdictDialog::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(rect(), kCornerRadius, kCornerRadius);
    painter.fillPath(path, QColor("#1e1e1e"));
}
