#pragma once

#include <QString>

class QLocale;

// The language of the user interface: Simplified Chinese (the texts as written in the
// code) or English (the compiled-in translation ":/i18n/kestrane_en.qm"). Qt's own
// texts and the compiled-in pictures with text follow the choice. Log records are
// written in Chinese whatever the choice.
class UiLanguage {
public:
    enum Language { Chinese, English };

    static constexpr const char *kEnglishCatalogue = ":/i18n/kestrane_en.qm";

    // The "--lang" values "zh" and "en" (any case); false for anything else.
    static bool fromCode(const QString &code, Language *language);

    // The system's choice: Chinese when the first language of the user interface is
    // Chinese, and on a system that names no language (the C locale); English otherwise.
    static Language forLocale(const QLocale &locale);

    // `code` when one is given ("zh" or "en"), else the system's choice.
    static Language choose(const QString &code, const QLocale &system);

    // Puts the translations of `language` in place on the application (the tool's own
    // for English, Qt's for both), replacing those of an earlier call. Returns false,
    // with a warning, when one could not be loaded; the texts stay as they were then.
    static bool install(Language language);

    // Takes away what install() put in place: the texts and pictures as written show.
    static void remove();
};
