#pragma once

#include <QString>

class QTranslator;

// Qt's own texts (file dialogs, the shortcut editor, standard buttons) in the language
// of the tool's user interface.
class QtTranslations {
public:
    static constexpr const char *kChineseCatalogue = "qtbase_zh_CN";
    static constexpr const char *kEnglishCatalogue = "qtbase_en";

    // Loads `catalogue` into `translator` from the "translations" folder beside the
    // executable (where a Windows build ships it), else from Qt's own translations
    // folder. Returns false, with a warning, when neither has it.
    static bool load(QTranslator *translator, const char *catalogue);

    // The folders searched, in order.
    static QStringList searchPaths();
};
