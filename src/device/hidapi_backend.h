#pragma once

#include "hid_backend.h"

// HidBackend over the hidapi library (hidraw on Linux).
class HidapiBackend : public HidBackend {
public:
    int init() override;
    int exit() override;
    QList<HidDeviceInfo> enumerate(quint16 vendorId) override;
    Handle open(const QByteArray &utf8Path) override;
    int setNonBlocking(Handle handle, int nonBlocking) override;
    int write(Handle handle, const unsigned char *data, size_t length) override;
    int readTimeout(Handle handle, unsigned char *data, size_t length, int timeoutMs) override;
    void close(Handle handle) override;
    QString errorText(Handle handle) override;
};
