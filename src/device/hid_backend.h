#pragma once

#include "hid_device_info.h"

#include <QByteArray>

#include <cstddef>

// The calls HIDManager makes into a HID library. The real one wraps hidapi; the
// simulated camera bus implements the same calls for --simulate and the tests.
// The backend is chosen once at start-up, before the first manager exists.
class HidBackend {
public:
    using Handle = void *;

    virtual ~HidBackend() = default;

    virtual int init() = 0;                              // 0 on success, -1 on failure
    virtual int exit() = 0;
    virtual QList<HidDeviceInfo> enumerate(quint16 vendorId) = 0;
    virtual Handle open(const QByteArray &utf8Path) = 0; // null on failure
    virtual int setNonBlocking(Handle handle, int nonBlocking) = 0;
    virtual int write(Handle handle, const unsigned char *data, size_t length) = 0;
    // Bytes read, 0 on time-out, -1 on error.
    virtual int readTimeout(Handle handle, unsigned char *data, size_t length, int timeoutMs) = 0;
    virtual void close(Handle handle) = 0;
    virtual QString errorText(Handle handle) = 0;

    // The backend every HIDManager uses; hidapi unless another was installed.
    static HidBackend *active();
    static void setActive(HidBackend *backend);
};
