#pragma once

#include "camera_params.h"
#include "device_sender.h"
#include "param_page_set.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class DebouncedParamSender;
class HIDManager;

// Everything a panel's feature objects need to talk to the camera the panel shows:
//  - the active camera: its HIDManager and device index;
//  - the panel's CameraParams record (what its pages show, what an export writes);
//  - the panel's send guard (closed while the pages show a record, so that showing
//    never echoes values back) and whether a record is being shown;
//  - the panel's DebouncedParamSender (100 ms per key, for sliders);
//  - the DeviceSender with the panel's log style, and the common sends built on it.
// The control panel's own pages use the context Widget owns; each model panel owns
// its own. Feature objects hold a pointer to the context of the panel that owns them
// and never reach the panel itself.
class PanelCameraContext : public QObject {
    Q_OBJECT
public:
    // How the panel logs a parameter or setting it sends.
    enum class ParamLog {
        ControlPanel,  // Qt debug "[CAMERA_PARAM] device: i command: k value: v" ("[SYSTEM_PARAM]" for settings)
        CommandRecord, // INFO/"Command" "[CAMERA_PARAM] command:%1, value:%2, sendcmd:%3"
                       // ("sendSystemParam - command:%1, value:%2, sendcmd:%3" for settings)
        None,
    };
    struct Style {
        DeviceSender::RequestLog requestLog = DeviceSender::RequestLog::None;
        ParamLog paramLog = ParamLog::None;
    };

    // A model panel's context: it addresses the one manager handed to it by setDevice.
    explicit PanelCameraContext(const Style &style, QObject *parent = nullptr);
    // The control panel's context: managers are looked up by index; the device index
    // lives in `index` (the panel's own member); `quietProbe` silences the request log
    // of the orientation probe.
    PanelCameraContext(DeviceSender::ManagerLookup lookup, int *index, const Style &style, const bool *quietProbe,
                       QObject *parent = nullptr);
    ~PanelCameraContext() override;

    // The active camera. A model panel gets both at every activation; a manager that
    // goes away (the device list was refreshed) is forgotten.
    void setDevice(HIDManager *manager, int index);
    int deviceIndex() const { return *m_index; }
    HIDManager *manager() const;

    CameraParams &params() { return m_params; }
    const CameraParams &params() const { return m_params; }

    // The send guard: while closed, sendVideoParam, sendSystemSetting and the table
    // and palette sends send nothing (and log nothing). Closed at construction for
    // the model panels until their first apply; open for the control panel.
    bool sendEnabled() const { return m_sendEnabled; }
    void setSendEnabled(bool enabled) { m_sendEnabled = enabled; }
    bool *sendEnabledFlag() { return &m_sendEnabled; }
    bool isApplying() const { return m_applying; }
    void setApplying(bool applying) { m_applying = applying; }
    DebouncedParamSender *paramSender() const { return m_paramSender; }
    // The guard as the parameter pages take it.
    ParamPageSet::Guard guard() { return {&m_sendEnabled, &m_applying, m_paramSender}; }

    DeviceSender &sender() { return m_sender; }

    // One parameter ("ReqSetVideoParam", CmdSetVideoParam) or setting ("ReqSetSetting",
    // CmdJson), through the guard, logged in the panel's style. `value` is the JSON
    // text of the value.
    bool sendVideoParam(const QString &key, const QString &value);
    bool sendSystemSetting(const QString &key, const QString &value);
    // A finished command text, unguarded (face lists, resets, reboot); `reply`, when
    // given, gets the collected reply.
    bool sendText(int cmdId, const QByteArray &text, char *reply = nullptr,
                  int replyCapacity = DeviceSender::kReplyBufferSize);
    // A request without payload text (reboot, identity), unguarded.
    bool sendCmd(int cmdId, const void *payload, int length, char *reply,
                 int replyCapacity = DeviceSender::kReplyBufferSize);
    // One CmdGetParam exchange; the reply text up to its terminating zero, empty when
    // nothing came.
    QByteArray query(const QByteArray &request);
    // A command whose reply says whether it worked: true when the exchange went through
    // and the reply's "Content"."nResult" is not negative.
    bool sendChecked(int cmdId, const QByteArray &text) { return sendCheckedTo(deviceIndex(), cmdId, text); }
    bool sendCheckedTo(int index, int cmdId, const QByteArray &text);
    // The link test: the orientation request with a reply buffer; false (with a debug
    // record) when no parsable reply came.
    bool testConnection();

private:
    bool sendParam(bool video, const QString &key, const QString &value);

    Style m_style;
    QPointer<HIDManager> m_manager;
    int m_ownIndex = -1;
    int *m_index = &m_ownIndex;
    CameraParams m_params;
    bool m_sendEnabled = false;
    bool m_applying = false;
    DebouncedParamSender *m_paramSender;
    DeviceSender m_sender;
};
