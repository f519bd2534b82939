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

bool QtTranslations::load(QTranslator *translator, const char *catalogue)
{
    for (const QString &path : searchPaths()) {
        if (translator->load(QLatin1String(catalogue), path))
            return true;
    }
    qWarning() << "Qt translations not found:" << catalogue;
    return false;
}
