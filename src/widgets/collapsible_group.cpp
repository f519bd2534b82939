#include "collapsible_group.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char *const kHeaderStyle = "QWidget#collapsibleHeader { background-color: #272c33;"
                                 " border-top-left-radius: 8px; border-top-right-radius: 8px;"
                                 " border-bottom-left-radius: 0px; border-bottom-right-radius: 0px; }";
const char *const kTitleStyle = "QLabel { font-weight: bold; font-size: 13px; color: #eeeeee;"
                                " background: transparent; margin: 0px; padding: 0px; }";
const char *const kArrowStyle = "QToolButton { background: transparent; border: none; border-radius: 3px; }";
const char *const kContentStyle = "QWidget#collapsibleContent { background-color: #272c33; border-top: none;"
                                  " border-radius: 0px; }";
const char *const kPlaceholderStyle = "color: #aaaaaa;";
} // namespace

CollapsibleGroup::CollapsibleGroup(const QString &title, const ContentFactory &contentFactory, QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(false); // the page behind shows through
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->setSpacing(0);

    m_header = new QWidget(this);
    m_header->setObjectName("collapsibleHeader");
    m_header->setAttribute(Qt::WA_StyledBackground);
    m_header->setFixedHeight(kHeaderHeight);
    m_header->setStyleSheet(kHeaderStyle);
    m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_header->setCursor(Qt::PointingHandCursor);

    m_headerLayout = new QHBoxLayout(m_header);
    m_headerLayout->setContentsMargins(12, 0, 8, 0);
    m_headerLayout->setSpacing(8);
    m_headerLayout->setAlignment(Qt::AlignVCenter);

    m_iconLabel = new QLabel(m_header);
    m_iconLabel->setStyleSheet("background: transparent;");
    m_iconLabel->setFixedSize(m_iconSize);
    m_iconLabel->setAlignment(Qt::AlignCenter);
    m_iconLabel->hide();

    m_titleLabel = new QLabel(title, m_header);
    m_titleLabel->setStyleSheet(kTitleStyle);
    m_titleLabel->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    m_titleLabel->setContentsMargins(0, 0, 0, 0);

    m_arrowButton = new QToolButton(m_header);
    m_arrowButton->setStyleSheet(kArrowStyle);
    m_arrowButton->setFixedSize(16, 16);
    m_arrowButton->setIconSize(QSize(16, 16));
    m_arrowButton->setIcon(QIcon(arrowPixmap(true)));

    m_headerLayout->addWidget(m_iconLabel, 0, Qt::AlignVCenter);
    m_headerLayout->addWidget(m_titleLabel, 0, Qt::AlignVCenter);
    m_headerLayout->addStretch();
    m_headerLayout->addWidget(m_arrowButton, 0, Qt::AlignVCenter);
    m_headerLayout->addSpacing(10);

    m_content = new QWidget(this);
    m_content->setObjectName("collapsibleContent");
    m_content->setAttribute(Qt::WA_StyledBackground);
    m_content->setStyleSheet(kContentStyle);
    m_content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *contentLayout = new QVBoxLayout(m_content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(0);

    QWidget *custom = contentFactory ? contentFactory(m_content) : nullptr;
    if (custom) {
        contentLayout->addWidget(custom);
    } else {
        auto *placeholder = new QLabel(tr("没有自定义内容"), m_content);
        placeholder->setStyleSheet(kPlaceholderStyle);
        placeholder->setAlignment(Qt::AlignCenter);
        contentLayout->addWidget(placeholder);
    }

    layout->addWidget(m_header);
    layout->addWidget(m_content);

    connect(m_arrowButton, &QToolButton::clicked, this, &CollapsibleGroup::toggleCollapse);
    m_header->installEventFilter(this);
}

QString CollapsibleGroup::title() const
{
    return m_titleLabel->text();
}

void CollapsibleGroup::setIcon(const QIcon &icon)
{
    const QPixmap pixmap = icon.isNull() ? QPixmap() : icon.pixmap(m_iconSize);
    if (pixmap.isNull()) {
        m_iconLabel->clear();
        m_iconLabel->hide();
        return;
    }
    m_iconLabel->setPixmap(pixmap);
    m_iconLabel->show();
}

void CollapsibleGroup::setIcon(const QString &path)
{
    setIcon(QIcon(path));
}

void CollapsibleGroup::setCollapsed(bool collapsed)
{
    if (collapsed == m_expanded)
        toggleCollapse();
}

void CollapsibleGroup::toggleCollapse()
{
    m_expanded = !m_expanded;
    m_arrowButton->setIcon(QIcon(arrowPixmap(m_expanded)));
    if (!m_expanded) {
        m_content->hide();
        m_content->setFixedHeight(0);
        return;
    }
    m_content->setMinimumHeight(0);
    m_content->setMaximumHeight(QWIDGETSIZE_MAX);
    m_content->show();
    emit expanded();
}

QPixmap CollapsibleGroup::arrowPixmap(bool expanded)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::white);
    const QPolygon triangle = expanded ? QPolygon({QPoint(2, 2), QPoint(14, 2), QPoint(8, 14)})
                                       : QPolygon({QPoint(2, 2), QPoint(2, 14), QPoint(14, 8)});
    painter.drawPolygon(triangle);
    return pixmap;
}

bool CollapsibleGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        toggleCollapse();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
