#include "cjk_font_check.h"

#include "log_manager.h"
#include "message_boxes.h"

#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>

bool CjkFontCheck::hasSimplifiedChineseFont()
{
    return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
}

QString CjkFontCheck::noticeText()
{
    return QStringLiteral(
        "Kestrane's windows are in Simplified Chinese, but no font with Chinese characters is "
        "installed, so their texts show as empty boxes.\n\n"
        "Install one and start Kestrane again, for example:\n"
        "  Debian, Ubuntu:  sudo apt install fonts-noto-cjk   (or fonts-wqy-microhei)\n"
        "  Fedora:  sudo dnf install google-noto-sans-cjk-fonts\n"
        "  Arch:  sudo pacman -S noto-fonts-cjk");
}

QMessageBox *CjkFontCheck::warnIfMissing()
{
    static bool given = false;
    if (given || hasSimplifiedChineseFont())
        return nullptr;
    given = true;
    LogManager::instance()->log(WARNING, "Startup",
                                QStringLiteral("No font with Simplified Chinese glyphs is installed; the user "
                                               "interface cannot be read (install fonts-noto-cjk or "
                                               "fonts-wqy-microhei)"));
    // Title and button are set here: Qt's own translated button texts would be Chinese.
    QMessageBox *box = MessageBoxes::createCustomBox(nullptr, QStringLiteral("Kestrane: no Chinese font"), noticeText());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->show();
    return box;
}
