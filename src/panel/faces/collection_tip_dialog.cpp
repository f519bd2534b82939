#include "collection_tip_dialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kRadius = 15;

QPushButton *titleButton(const char *icon, const char *hover, QWidget *parent) {
    auto *button = new QPushButton(parent);
    button->setFixedSize(30, 30);
    button->setIcon(QIcon(QStringLiteral(":/icons/resources/icons/") + QLatin1String(icon)));
    button->setIconSize(QSize(16, 16));
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: transparent; border: none; border-radius: 4px; }"
                       "QPushButton:hover { background-color: %1; }")
            .arg(QLatin1String(hover)));
    return button;
}

QLabel *bodyText(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setStyleSheet("color: #cccccc; font-size: 13px; background: transparent;");
    return label;
}

QPushButton *bodyButton(const QString &text, const char *colour, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setFixedSize(100, 36);
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: white; border: none;"
                                         " border-radius: 6px; font-size: 14px; }")
                              .arg(QLatin1String(colour)));
    return button;
}
} // namespace

CollectionTipDialog::CollectionTipDialog(QWidget *parent) : QDialog(parent) {
    setWindowTitle(tr("AI人脸数据采集"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(400, 280);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_titleBar = buildTitleBar();
    layout->addWidget(m_titleBar);

    auto *body = new QWidget(this);
    auto *bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(30, 30, 30, 30);
    bodyLayout->setSpacing(15);
    bodyLayout->addStretch();
    auto *heading = new QLabel(tr("温馨提示"), body);
    heading->setAlignment(Qt::AlignCenter);
    heading->setStyleSheet("color: white; font-size: 18px; font-weight: bold; background: transparent;");
    bodyLayout->addWidget(heading);
    bodyLayout->addWidget(bodyText(tr("该操作需要按照画面提示进行操作，时长约2分钟"), body));
    bodyLayout->addWidget(bodyText(tr("人脸信息仅本地设备存储处理，用于本产品AI跟焦功能运行，"
                                                  "不会上传至云端，不会用于任何其他无关用途"),
                                   body));
    bodyLayout->addStretch();
    auto *row = new QHBoxLayout;
    row->setSpacing(20);
    m_confirmButton = bodyButton(tr("确认"), "#1e90ff", body);
    m_cancelButton = bodyButton(tr("取消"), "#444444", body);
    row->addStretch();
    row->addWidget(m_confirmButton);
    row->addWidget(m_cancelButton);
    row->addStretch();
    bodyLayout->addLayout(row);
    layout->addWidget(body, 1);

    connect(m_confirmButton, &QPushButton::clicked, this, [this] {
        close();
        emit confirmed();
    });
    auto abandon = [this] {
        close();
        emit abandoned();
    };
    connect(m_cancelButton, &QPushButton::clicked, this, abandon);
    connect(m_closeButton, &QPushButton::clicked, this, abandon);
    connect(m_minimizeButton, &QPushButton::clicked, this, &QWidget::showMinimized);
}

QWidget *CollectionTipDialog::buildTitleBar() {
    auto *bar = new QWidget(this);
    bar->setFixedHeight(40);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(15, 0, 5, 0);
    row->setSpacing(5);
    auto *title = new QLabel(tr("AI人脸数据采集"), bar);
    title->setStyleSheet("color: white; font-weight: bold; font-size: 14px; background: transparent;");
    row->addWidget(title);
    row->addStretch();
    m_minimizeButton = titleButton("minimize.png", "#1b89ef", bar);
    m_closeButton = titleButton("close.png", "#dc3545", bar);
    row->addWidget(m_minimizeButton);
    row->addWidget(m_closeButton);
    return bar;
}

void CollectionTipDialog::setHoldsInput(bool on) {
    if (on == m_holdsInput)
        return;
    m_holdsInput = on;
    if (on) {
        m_titleBar->installEventFilter(this);
        qApp->installEventFilter(this);
    } else {
        m_titleBar->removeEventFilter(this);
        qApp->removeEventFilter(this);
    }
}

bool CollectionTipDialog::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    // Minimised, the dialog is out of the way and gives the keyboard back.
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && isVisible() && !isMinimized())
        return true;
    if (watched == m_titleBar && dragByTitleBar(event))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool CollectionTipDialog::dragByTitleBar(QEvent *event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return m_dragger.press(static_cast<QMouseEvent *>(event), true);
    case QEvent::MouseMove:
        return m_dragger.move(static_cast<QMouseEvent *>(event));
    case QEvent::MouseButtonRelease: {
        const bool dragging = m_dragger.isDragging();
        m_dragger.release(static_cast<QMouseEvent *>(event));
        return dragging;
    }
    default:
        return false;
    }
}

void CollectionTipDialog::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(rect(), kRadius, kRadius);
    painter.fillPath(path, QColor("#1e1e1e"));
    painter.setPen(QColor(255, 255, 255, 40));
    painter.drawLine(QPointF(0, 40.5), QPointF(width(), 40.5));
}
