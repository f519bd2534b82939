#include "dropdown_menu.h"

#include <QMenu>

void DropDownMenu::applyStyle(QMenu *menu)
{
    menu->setStyleSheet(QLatin1String(kStyle));
    menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    menu->setAttribute(Qt::WA_TranslucentBackground);
}
