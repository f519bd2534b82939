#include "startup_dialog_chrome.h"

#include <QColor>
#include <QDebug>
#include <QFont>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

namespace {

const char *const kBackgroundColour = "#10121a";

const char *const kTitleButtonStyle = "QPushButton {"
                                      "background-color: transparent;"
                                      "border: none;"
                                      "border-radius: 8px;"
                                      "padding: 6px;"
                                      "}"
                                      "QPushButton:hover {"
                                      "background-color: #1b89ef;"
                                      "padding: 8px;"
                                      "}"
                                      "QPushButton:pressed {"
                                      "background-color: #0a79df;"
                                      "padding: 6px;"
                                      "}";

constexpr int kButtonSize = 30;
constexpr int kIconSize = 16;
constexpr int kIconSourceSize = 24;

// A transparent icon-sized picture with a white glyph, used when an icon file is missing.
QPixmap glyphPixmap(const QString &text) {
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    painter.setFont(QFont("Arial", 8));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return pixmap;
}

} // namespace

QPushButton *StartupDialogChrome::createTitleButton(QWidget *parent, const QString &iconPath,
                                                    const char *warning, const QString &fallbackText) {
    auto *button = new QPushButton(parent);
    button->setFixedSize(kButtonSize, kButtonSize);
    button->setIconSize(QSize(kIconSize, kIconSize));
    button->setStyleSheet(kTitleButtonStyle);

    QPixmap icon(iconPath);
    if (icon.isNull()) {
        qWarning().noquote() << warning;
        icon = glyphPixmap(fallbackText);
    } else {
        icon = icon.scaled(kIconSourceSize, kIconSourceSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    button->setIcon(QIcon(icon));
    return button;
}

QWidget *StartupDialogChrome::createTitleBar(QWidget *parent, QPushButton *&returnButton,
                                             QPushButton *&closeButton) {
    auto *titleBar = new QWidget(parent);
    titleBar->setObjectName("titleBar");
    titleBar->setFixedHeight(kTitleBarHeight);
    titleBar->setStyleSheet("background: transparent;");

    auto *layout = new QHBoxLayout(titleBar);
    layout->setContentsMargins(10, 0, 10, 0);
    layout->setSpacing(0);

    returnButton = createTitleButton(titleBar, ":/icons/resources/icons/return.png",
                                     "无法加载返回图标: return.png", QStringLiteral("←"));
    returnButton->setObjectName("returnButton");
    closeButton = createTitleButton(titleBar, ":/icons/resources/icons/close.png",
                                    "无法加载关闭图标: close.png", QStringLiteral("×"));
    closeButton->setObjectName("closeButton");

    auto *titleLabel = new QLabel(titleBar);
    titleLabel->setStyleSheet("background: transparent;");

    layout->addWidget(returnButton);
    layout->addStretch();
    layout->addWidget(titleLabel);
    layout->addStretch();
    layout->addWidget(closeButton);
    return titleBar;
}

void StartupDialogChrome::paintRoundedFrame(QPainter &painter, const QRect &rect, const QPixmap &background,
                                            int radius) {
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath outline;
    outline.addRoundedRect(rect, radius, radius);

    painter.save();
    painter.setClipPath(outline);
    if (background.isNull())
        painter.fillRect(rect, QColor(kBackgroundColour));
    else
        painter.drawPixmap(rect, background);
    painter.restore();

    QPen pen(QColor(255, 255, 255, 30), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect, radius, radius);
}

QString StartupDialogChrome::firstLetter(const QString &text) {
    for (const char32_t codePoint : text.toUcs4()) {
        if (QChar::isLetter(codePoint))
            return QString::fromUcs4(&codePoint, 1);
    }
    return QString();
}

QPixmap StartupDialogChrome::plainBackground(int width, int height) {
    QPixmap pixmap(width, height);
    pixmap.fill(QColor(kBackgroundColour));
    return pixmap;
}
