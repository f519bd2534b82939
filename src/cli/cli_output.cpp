#include "cli_output.h"

#include "device_models.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

void CliOutput::printList(const QList<Camera> &cameras, bool json, QTextStream &out)
{
    if (json) {
        QJsonArray array;
        for (const Camera &c : cameras) {
            QJsonObject o{{"index", c.index}, {"answered", c.answered}};
            if (c.answered) {
                o["name"] = c.name;
                o["model"] = c.model;
                o["serial"] = c.serial;
                o["buildDate"] = c.buildDate;
                o["series"] = seriesOfModel(c.model);
            }
            array.append(o);
        }
        out << QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return;
    }
    out << "index\tname\tmodel\tserial\tbuild date\tseries\n";
    for (const Camera &c : cameras) {
        if (!c.answered) {
            out << c.index << "\t(no answer)\n";
            continue;
        }
        const QString series = seriesOfModel(c.model);
        out << c.index << '\t' << c.name << '\t' << c.model << '\t' << c.serial << '\t' << c.buildDate << '\t'
            << (series.isEmpty() ? QStringLiteral("-") : series) << '\n';
    }
}

QString CliOutput::printable(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)).trimmed();
}
