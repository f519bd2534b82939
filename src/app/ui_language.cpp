#include "ui_language.h"

#include "qt_translations.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLocale>
#include <QTranslator>

#include <functional>

namespace {
// The translators of the current choice, owned by the application object.
QList<QTranslator *> &installedTranslators()
{
    static QList<QTranslator *> translators;
    return translators;
}

bool installTranslator(const std::function<bool(QTranslator *)> &load)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!load(translator)) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installedTranslators() << translator;
    return true;
}
} // namespace

bool UiLanguage::fromCode(const QString &code, Language *language)
{
    const QString lower = code.toLower();
    if (lower == QLatin1String("zh"))
        *language = Chinese;
    else if (lower == QLatin1String("en"))
        *language = English;
    else
        return false;
    return true;
}

UiLanguage::Language UiLanguage::forLocale(const QLocale &locale)
{
    const QStringList languages = locale.uiLanguages();
    const QLocale first = languages.isEmpty() ? locale : QLocale(languages.first());
    if (first.language() == QLocale::Chinese || first.language() == QLocale::C)
        return Chinese;
    return English;
}

UiLanguage::Language UiLanguage::choose(const QString &code, const QLocale &system)
{
    Language language = Chinese;
    return fromCode(code, &language) ? language : forLocale(system);
}

bool UiLanguage::install(Language language)
{
    remove();
    bool ok = true;
    if (language == English) {
        ok = installTranslator([](QTranslator *t) { return t->load(QLatin1String(kEnglishCatalogue)); });
        // The compiled-in pictures with text have English variants (lang="en" in the
        // resource file), chosen by the default locale.
        if (ok)
            QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        else
            qWarning() << "Translation not found:" << kEnglishCatalogue;
    }
    const char *qtCatalogue =
        language == English ? QtTranslations::kEnglishCatalogue : QtTranslations::kChineseCatalogue;
    ok &= installTranslator([qtCatalogue](QTranslator *t) { return QtTranslations::load(t, qtCatalogue); });
    return ok;
}

void UiLanguage::remove()
{
    for (QTranslator *translator : installedTranslators()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    installedTranslators().clear();
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
}
