#pragma once

#include "firmware_build_check.h"

#include <QObject>
#include <QPair>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include <functional>

class QFile;
class QTimer;
class QWidget;

// Firmware upgrade of the active camera: the size is announced, the ".dat" file is
// streamed in blocks of 1 MiB (the sender cuts each into 1000-byte packets), the
// camera's progress is followed and polled until it reports completion, and the
// camera is restarted. A window-modal progress dialog shows every stage; its cancel
// button is honoured between blocks and between polls. Device detection is stopped
// for the whole run so no refresh closes the camera's connection half-way.
//
// The run blocks the GUI thread like every exchange does and processes pending
// events after each stage; the one-second wait between polls goes through a
// replaceable sleeper so that tests need not wait.
class FirmwareUpgrade : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlockSize = 1048576;
    static constexpr int kMaxStatusQueries = 301;
    static constexpr int kPollIntervalMs = 1000;
    static constexpr int kRefreshAfterRebootMs = 5000;
    static constexpr int kClosePreviewAfterMs = 3000;
    static constexpr int kReplyBufferSize = 3072;
    static constexpr int kStatusComplete = 2;
    // The request carries the size as a signed 32-bit number.
    static constexpr qint64 kMaxFileSize = 0x7fffffff;

    static const char *const kDirFileName;        // "update_path.ini", beside the executable
    static const char *const kDirKey;             // "FirmwarePath"
    static const char *const kFileDialogStyle;
    static const char *const kProgressDialogStyle;
    static const char *const kRebootBoxStyle;

    // How the upgrade reaches the panel: the senders on the active camera, the
    // detection cycle, the device-list refresh and the preview window.
    struct Link {
        std::function<bool(quint32 cmdId, const void *payload, int length, char *reply, int capacity)> sendCmd;
        std::function<bool(quint32 cmdId, const char *data, int length, char *reply, int capacity)> sendData;
        std::function<void()> stopDetection;
        std::function<void()> startDetection;
        std::function<void()> refreshDevices;
        std::function<void()> restarting; // the active camera restarts to take the firmware
        std::function<QWidget *()> previewWindow;
        // The active camera's serial and build date as the device list knows them,
        // taken when a run starts: the run's commands, the restart and the check after
        // it are addressed to that camera (targetSerial()) whichever camera is active
        // meanwhile; when given, the build date is compared after the restart.
        std::function<QPair<QString, QString>()> identity;
        // True from the start of a run to its end, whichever way it ends: nothing but
        // the run's own requests may reach any camera meanwhile.
        std::function<void(bool exclusive)> holdTraffic;
    };
    // How long after the restart request the camera has to come back for the check.
    static constexpr int kVerifyTimeoutMs = 60000;
    static constexpr int kVerifyNoticeMs = 4000;
    using Sleeper = std::function<void(int ms)>;

    enum class Outcome {
        Rebooting,    // complete, restart sent, refresh scheduled
        RebootFailed, // complete, but the restart request failed
        Cancelled,    // the user cancelled while blocks were being sent
        Unfinished,   // the user cancelled while the camera was polled
        Failed,       // a box told why; nothing more happens
        Busy,         // an upgrade is already running
    };

    // Dialogs and boxes are owned by `panel`.
    FirmwareUpgrade(Link link, QWidget *panel);

    // The wait between status polls; by default the GUI thread sleeps.
    void setSleeper(Sleeper sleeper) { m_sleeper = std::move(sleeper); }
    // Delays after the restart request before the device list is refreshed and the
    // preview window closed.
    void setRebootDelays(int refreshMs, int closePreviewMs);

    // The directory of the last chosen firmware file, or the application directory
    // when none was saved or it no longer exists.
    static QString loadFirmwareDir();
    static void saveFirmwareDir(const QString &dir);

    // The "固件升级" button: choose a file, remember its directory, upgrade.
    void onFirmwareUpgradeClicked();
    // The whole upgrade with the given file.
    Outcome startFirmwareUpgrade(const QString &path);

    // 0 ok, -1 failed (a box has told the user).
    int requestUpgrade(int fileSize);
    int sendFirmwareBlock(const char *data, int length, int *status, int *progress);
    int queryUpgradeStatus(int *status, int *progress);

    // A camera answered the device list with this identity: completes the check of an
    // upgraded camera that restarted (log line and a notice either way).
    void deviceIdentified(const QString &serial, const QString &buildDate);
    bool verificationPending() const { return !m_verifySerial.isEmpty(); }
    // From the start of a run until it has fully ended: the restart prompt answered and
    // the restarted camera's build checked (or its check timed out).
    bool isUpgrading() const { return m_running || verificationPending(); }
    // The camera the current or last run was addressed to; empty before the first run
    // or when no identity is linked.
    QString targetSerial() const { return m_target.first; }

    // The running upgrade's progress dialog; null when none runs.
    QProgressDialog *upgradeDialog() const { return m_upgradeDialog; }

signals:
    // The dialog's label changed (each stage, each block, each poll); pending events
    // are processed right after.
    void stageChanged(const QString &label);
    // The check after the restart is done.
    void firmwareVerified(bool changed);

private:
    int parseReply(const char *reply, const char *notObjectRecord, int *status, int *progress);
    void showStage(const QString &label);
    Outcome fail(const QString &title, const QString &text, QFile *file = nullptr);
    void closeDialog();
    void askForRestart();
    // Streams the file: 0 everything sent, 1 cancelled, -1 failed (a box has told why).
    int runUpload(QFile &file, int size, int *status, int *progress);
    Outcome run(const QString &path);
    // The restart after a completed upgrade: false when the exchange failed or the
    // camera refused it.
    bool restartCamera();

    void finishVerification(const QString &buildDate);

    Link m_link;
    QWidget *m_panel;
    Sleeper m_sleeper;
    QPointer<QProgressDialog> m_upgradeDialog;
    int m_refreshAfterRebootMs = kRefreshAfterRebootMs;
    int m_closePreviewAfterMs = kClosePreviewAfterMs;
    QString m_verifySerial;
    QPair<QString, QString> m_target; // serial and build date when the run started
    bool m_running = false;
    FirmwareBuildCheck m_check;
    QTimer *m_verifyTimeout;
};
