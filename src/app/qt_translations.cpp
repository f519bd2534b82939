#include "qt_translations.h"

#include <QCoreApplication>
#include <QDebug>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

QStringList QtTranslations::searchPaths()
{
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

bool QtTranslations::install()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    for (const QString &path : searchPaths()) {
        if (translator->load(QLatin1String(kCatalogue), path))
            return QCoreApplication::installTranslator(translator);
    }
    qWarning() << "Qt translations not found:" << kCatalogue;
    delete translator;
    return false;
}
