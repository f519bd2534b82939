#pragma once

#include <QString>

// Identity of one listed camera, from its device-information reply.
struct DeviceEntry {
    QString deviceName;
    QString serial;
    QString buildDate;
    QString productModel;
    bool present = false;

    // The last three characters of the serial (the whole serial when shorter).
    static QString serialTail(const QString &serial) { return serial.right(3); }
    // deviceName + "-" + serial tail: the camera's video input carries the same text.
    static QString selectionName(const QString &deviceName, const QString &serial)
    {
        return deviceName + "-" + serialTail(serial);
    }
};
