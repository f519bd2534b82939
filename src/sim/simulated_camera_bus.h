#pragma once

#include "hid_backend.h"

#include <QList>
#include <QString>
#include <QStringList>

class SimulatedCamera;

// A bus of simulated cameras behind the HID backend interface: what --simulate and
// the tests plug in instead of hidapi.
class SimulatedCameraBus : public HidBackend {
public:
    // A read with no time-out (negative) would block for ever on hardware; here it
    // waits this long at most.
    static constexpr int kMaxBlockingReadMs = 3000;

    explicit SimulatedCameraBus(quint16 vendorId);
    ~SimulatedCameraBus() override;

    // Plugs in a camera of `model`; returns it. Name and serial get defaults.
    SimulatedCamera *addCamera(const QString &model, const QString &deviceName = QString(),
                               const QString &serial = QString());
    void removeCamera(SimulatedCamera *camera);
    QList<SimulatedCamera *> cameras() const;
    SimulatedCamera *cameraAt(int i) const;
    SimulatedCamera *cameraByPath(const QString &path) const;
    quint16 vendorId() const;

    // Creates a bus with one camera per model and makes it the active HID backend.
    static SimulatedCameraBus *install(const QStringList &models, quint16 vendorId);

    // The default name of a model's camera: its product name.
    static QString defaultDeviceName(const QString &model);

    // Test hooks for the library itself.
    void setInitResult(int result);
    int initCalls() const;
    int exitCalls() const;
    int openHandles() const;

    int init() override;
    int exit() override;
    QList<HidDeviceInfo> enumerate(quint16 vendorId) override;
    Handle open(const QByteArray &utf8Path) override;
    int setNonBlocking(Handle handle, int nonBlocking) override;
    int write(Handle handle, const unsigned char *data, size_t length) override;
    int readTimeout(Handle handle, unsigned char *data, size_t length, int timeoutMs) override;
    void close(Handle handle) override;
    QString errorText(Handle handle) override;

private:
    struct Private;
    Private *d;
};
