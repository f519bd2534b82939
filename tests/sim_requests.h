#pragma once

#include "simulated_camera.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

// What a simulated camera received, in the forms the panel tests compare.
namespace SimRequests {

// The key/value pairs of every "ReqSetVideoParam" and "ReqSetSetting", as
// "key=value", in order.
inline QStringList sentParams(SimulatedCamera *cam)
{
    QStringList out;
    for (const auto &r : cam->receivedRequests()) {
        if (r.cmd != "ReqSetVideoParam" && r.cmd != "ReqSetSetting")
            continue;
        QJsonObject content = QJsonDocument::fromJson(r.payload).object().value("Content").toObject();
        if (r.cmd == "ReqSetVideoParam")
            content = content.value("VideoParam").toObject();
        for (auto it = content.begin(); it != content.end(); ++it)
            out << it.key() + "=" + QString::number(it.value().toInt());
    }
    return out;
}

inline int countCmd(SimulatedCamera *cam, const QString &cmd)
{
    int n = 0;
    for (const auto &r : cam->receivedRequests())
        n += r.cmd == cmd;
    return n;
}

} // namespace SimRequests
