#pragma once

#include "reply_router.h"

#include <QList>
#include <QObject>

#include <functional>

class DeviceList;
class HIDManager;
class PanelCameraContext;

// The control panel's connections to its cameras and the refresh that renews them: the
// open HIDManager of every camera of the family on the bus (its place in the list is
// its device index), closing them all, opening every camera found and asking each for
// its identity (the replies arrive through the reply router), and the end of the
// refresh kFinishMs later. A refresh asked for while a firmware upgrade holds the bus
// waits for the upgrade to end.
class DeviceRefresh : public QObject {
    Q_OBJECT
public:
    static constexpr int kFinishMs = 1500;

    // What the refresh needs from the control panel.
    struct Host {
        PanelCameraContext *camera = nullptr; // its sender asks for the identities
        ReplyRouter *router = nullptr;        // every packet any connection reads
        ReplyRouter::State *routerState = nullptr;
        int *currentIndex = nullptr; // the panel's active device index
        DeviceList *list = nullptr;  // forgets its identities with the connections
        std::function<void()> clearPanel; // right before the connections close
        std::function<void()> finished;   // kFinishMs after the identity requests
    };

    DeviceRefresh(const Host &host, QObject *parent);

    // Closes every connection and opens the cameras found on the bus again.
    void refresh();
    void releaseAll();
    // A firmware upgrade holds the bus or has let it go: a refresh asked for meanwhile
    // comes once the values held back have gone out.
    void setHeld(bool hold);

    // The connection of a device index; null outside the list.
    HIDManager *manager(int index) const;
    int count() const { return int(m_managers.size()); }
    // How many interfaces the last refresh enumerated.
    int seenCount() const { return m_seenCount; }

private:
    void onDataReceived(const QByteArray &data, void *deviceIndex);

    Host m_host;
    QList<HIDManager *> m_managers;
    int m_seenCount = 0;
    bool m_refreshAfterHold = false; // a refresh was asked for during an upgrade
};
