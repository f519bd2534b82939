#pragma once

#include <QString>

// Qt's own texts (file dialogs, the shortcut editor, standard buttons) in Simplified
// Chinese, like the rest of the tool.
class QtTranslations {
public:
    static constexpr const char *kCatalogue = "qtbase_zh_CN";

    // Loads the catalogue from the "translations" folder beside the executable (where a
    // Windows build ships it), else from Qt's own translations folder, and installs it
    // on the application. Returns false, with a warning, when neither has it.
    static bool install();

    // The folders searched, in order.
    static QStringList searchPaths();
};
