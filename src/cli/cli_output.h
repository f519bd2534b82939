#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

class QTextStream;

// What kestrane-cli prints, the same whether it opened the cameras itself or went
// through the running GUI's control API.
class CliOutput {
public:
    struct Camera {
        int index = -1;
        bool answered = false;
        QString name;
        QString model;
        QString serial;
        QString buildDate;
    };

    // "list": a table, or with `json` an array of objects.
    static void printList(const QList<Camera> &cameras, bool json, QTextStream &out);
    // A JSON object, indented.
    static QString printable(const QJsonObject &object);
};
