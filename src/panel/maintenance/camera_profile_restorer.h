#pragma once

#include "camera_record_io.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class QWidget;

// Sends a camera's saved default profile when the camera appears in the device list
// (start-up or hot-plug), before anything is read back from it. A camera already
// listed by the previous refresh is left alone, so the refresh button does not
// resend. The send runs once the exchange that identified the camera has finished.
class CameraProfileRestorer : public QObject {
    Q_OBJECT
public:
    // The exchange on the camera with the given device index.
    using IndexedExchange = std::function<QByteArray(int index, quint32 cmdId, const QByteArray &text)>;

    explicit CameraProfileRestorer(IndexedExchange exchange, QObject *parent = nullptr);

    // A refresh starts: the cameras listed so far become the previous list.
    void beginRefresh();
    // A camera was identified at `index`.
    void deviceIdentified(int index, const QString &serial);

    // "保存为默认配置": stores `record` as the profile of `serial` and turns restoring
    // on; a box or a notice tells the user how it went.
    static bool saveWithNotice(QWidget *parent, const QString &serial, const CameraParams &record);

signals:
    // The profile of `serial` was sent to the camera (ok) or refused on the way.
    void profileRestored(const QString &serial, bool ok);

private:
    void restore(int index, const QString &serial);

    IndexedExchange m_exchange;
    QSet<QString> m_previous;
    QSet<QString> m_current;
};
