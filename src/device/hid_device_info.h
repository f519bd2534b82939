#pragma once

#include <QList>
#include <QString>

// One enumerated HID interface.
struct HidDeviceInfo {
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString path;
};
