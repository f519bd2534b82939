#include "remote_command_words.h"

#include "device_models.h"

#include <QList>
#include <QPair>

namespace {
const QList<QPair<QString, QString>> &presetTable()
{
    static const QList<QPair<QString, QString>> table = {
        {QStringLiteral("call"), QStringLiteral("Call")},
        {QStringLiteral("set"), QStringLiteral("Set")},
        {QStringLiteral("delete"), QStringLiteral("Del")},
    };
    return table;
}
} // namespace

QString RemoteCommandWords::presetCommand(const QString &word)
{
    for (const auto &entry : presetTable())
        if (entry.first == word)
            return entry.second;
    return QString();
}

QStringList RemoteCommandWords::presetWords()
{
    QStringList words;
    for (const auto &entry : presetTable())
        words << entry.first;
    return words;
}

const QStringList &RemoteCommandWords::ptzCommands()
{
    static const QStringList words = {
        QStringLiteral("Up"),       QStringLiteral("Down"),      QStringLiteral("Left"),     QStringLiteral("Right"),
        QStringLiteral("Stop"),     QStringLiteral("Gohome"),    QStringLiteral("ZoomTele"), QStringLiteral("ZoomWide"),
        QStringLiteral("ZoomStop"), QStringLiteral("FocusNear"), QStringLiteral("FocusFar"), QStringLiteral("FocusStop"),
    };
    return words;
}

bool RemoteCommandWords::isStopCommand(const QString &word)
{
    return word == QLatin1String("Stop") || word == QLatin1String("ZoomStop") || word == QLatin1String("FocusStop");
}

QString RemoteCommandWords::cameraPtzWord(const QString &word, const QString &productModel)
{
    const bool panReversed = isPanReversedModel(productModel);
    if (word == QLatin1String("Up"))
        return QStringLiteral("Down");
    if (word == QLatin1String("Down"))
        return QStringLiteral("Up");
    if (word == QLatin1String("Left"))
        return panReversed ? QStringLiteral("Right") : word;
    if (word == QLatin1String("Right"))
        return panReversed ? QStringLiteral("Left") : word;
    return word;
}
