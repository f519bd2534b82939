#pragma once

#include "simulated_camera_state.h"
#include "simulated_face_models.h"
#include "simulated_firmware_upgrade.h"
#include "simulated_ptz.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <deque>

class SimulatedCommandSet;

// One virtual camera: the camera side of the HID protocol. It takes request
// reports as the tool writes them, reassembles multi-packet requests, carries out
// each command on its state and queues the reply reports the tool reads back.
// Time-dependent behaviour (moves, reboots, upgrades, training, slow answers) is
// computed from SimulatedClock on each call; nothing runs in the background.
class SimulatedCamera {
public:
    enum class Fault {
        None,
        Silent,             // requests are taken but never answered
        Garbage,            // the answer is one report without the packet magic
        MalformedJson,      // well-framed answer whose payload is not JSON
        NegativeResult,     // every command fails with "nResult" -1 and changes nothing
        Endless,            // answer packets never carry the last-packet flag
        OversizedLength,    // answer packets declare a length larger than the report
        Slow,               // the answer becomes readable only after slowReplyMs()
        DisconnectMidReply, // the first answer packet arrives, then the camera drops off the bus
        WriteError,         // every write fails
    };

    struct ReceivedRequest {
        quint32 cmdId = 0;
        QString cmd;         // "Cmd" of a JSON payload, empty otherwise
        QByteArray payload;  // the reassembled payload (first kMaxRecordedPayload bytes)
        int payloadSize = 0; // its full size
        int packets = 0;     // request reports it arrived in
        QString text() const { return QString::fromUtf8(payload); }
    };

    static constexpr int kMaxRequestBytes = 2 * 1024 * 1024; // a 1 MiB firmware block and more
    static constexpr int kMaxPendingReports = 256;
    static constexpr int kMaxRecordedRequests = 4096;
    static constexpr int kMaxRecordedPayload = 64 * 1024;
    static constexpr int kDefaultReturnDelayMs = 3000;
    static constexpr int kFactoryResetRebootAfterMs = 1500;

    SimulatedCamera(const QString &model, const QString &deviceName, const QString &serial,
                    quint16 productId);
    ~SimulatedCamera();
    SimulatedCamera(const SimulatedCamera &) = delete;
    SimulatedCamera &operator=(const SimulatedCamera &) = delete;

    // Identity, as the device-information reply reports it.
    QString model() const { return m_model; }
    QString deviceName() const { return m_deviceName; }
    QString serial() const { return m_serial; }
    QString buildDate() const { return m_buildDate; }
    quint16 productId() const { return m_productId; }
    QString path() const { return m_path; }
    // DeviceName + "-" + the last three serial characters: the video input's name.
    QString selectionName() const;
    void setDeviceName(const QString &name) { m_deviceName = name; }
    void setBuildDate(const QString &date) { m_buildDate = date; }
    // A camera whose flash write does not take: it completes upgrades but restarts
    // with its old firmware and build date.
    void setUpgradeTakes(bool takes) { m_upgradeTakes = takes; }
    void setPath(const QString &path) { m_path = path; }

    // Presence on the bus. A camera that leaves invalidates every open handle.
    bool isPresent();
    // Drops off the bus now; returns after `returnAfterMs` (never when negative).
    void unplug(int returnAfterMs = -1);
    void plugIn();
    // Every handle opened before this number changed is dead.
    quint64 session() const { return m_session; }
    int returnDelayMs() const { return m_returnDelayMs; }
    void setReturnDelayMs(int ms) { m_returnDelayMs = qMax(0, ms); }
    int reboots() const { return m_reboots; }

    // Faults.
    void setFault(Fault fault);
    Fault fault() const { return m_fault; }
    int slowReplyMs() const { return m_slowReplyMs; }
    void setSlowReplyMs(int ms) { m_slowReplyMs = qMax(0, ms); }

    // The transport side, used by the bus. write() returns the bytes taken or -1;
    // takeReport() pops the next readable report (empty when none is ready) and
    // tells in `readyInMs` how long until one will be (-1: nothing is coming).
    int write(const QByteArray &report);
    QByteArray takeReport(qint64 *readyInMs);

    // Answers every request whose "Cmd" is `cmd` with `payload` as it stands, instead
    // of carrying it out (for replies a healthy camera never gives: missing or odd
    // members). An empty payload removes the override.
    void setReplyOverride(const QString &cmd, const QByteArray &payload);

    // What the camera received, oldest first.
    QList<ReceivedRequest> receivedRequests() const { return m_received; }
    ReceivedRequest lastRequest() const {
        return m_received.isEmpty() ? ReceivedRequest() : m_received.last();
    }
    void clearReceived() { m_received.clear(); }
    // Requests that began while reply reports of an earlier one were still unread.
    int overlappingRequests() const { return m_overlappingRequests; }

    // State, for tests and the video side.
    int direction() const { return m_direction; }
    void setDirection(int direction) { m_direction = direction; }
    SimulatedCameraState &state() { return m_state; }
    SimulatedPtz &ptz() { return m_ptz; }
    SimulatedPtz::Position ptzPosition() const;
    SimulatedFaceModels &faceModels() { return m_faces; }
    SimulatedFirmwareUpgrade &upgrade() { return m_upgrade; }
    int videoParam(const QString &key) const { return m_state.videoParam(key); }
    int setting(const QString &key) const { return m_state.setting(key); }

private:
    friend class SimulatedCommandSet;

    struct PendingReport {
        QByteArray data;
        qint64 readyAt = 0;
        bool dropAfter = false; // the camera leaves the bus once this report is read
    };

    void tick();
    void goOffline(int returnAfterMs);
    void handleRequest(quint32 cmdId, const QByteArray &payload, int packets);
    void queueReply(quint32 cmdId, const QByteArray &payload);
    void record(quint32 cmdId, const QByteArray &payload, int packets);
    // Called by the command set: leave the bus once the reply has been read (or
    // after `afterMs` at the latest), then restart.
    void scheduleReboot(int afterMs, bool whenReplyRead);
    void rebootNow();

    QString m_model;
    QString m_deviceName;
    QString m_serial;
    QString m_buildDate;
    bool m_upgradeTakes = true;
    quint16 m_productId;
    QString m_path;

    bool m_present = true;
    qint64 m_returnAt = -1;
    quint64 m_session = 1;
    int m_returnDelayMs = kDefaultReturnDelayMs;
    qint64 m_rebootAt = -1;
    bool m_rebootWhenReplyRead = false;
    int m_reboots = 0;

    Fault m_fault = Fault::None;
    int m_slowReplyMs = 4000;

    quint32 m_assemblyCmd = 0;
    QByteArray m_assembly;
    int m_assemblyPackets = 0;
    bool m_assemblyOverflow = false;

    QMap<QString, QByteArray> m_replyOverrides;
    std::deque<PendingReport> m_pending;
    QList<ReceivedRequest> m_received;
    int m_overlappingRequests = 0;

    int m_direction = 1;
    SimulatedCameraState m_state;
    SimulatedPtz m_ptz;
    SimulatedFaceModels m_faces;
    SimulatedFirmwareUpgrade m_upgrade;
    SimulatedCommandSet *m_commands;
};
