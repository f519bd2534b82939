#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

// Takes every reply packet any read returns, finds the members that arrive unasked or
// belong to another object, and hands them on: identity during a refresh, face-model
// lists and states of the active camera, collection status, orientation.
// It only parses and signals; it never talks to a device (it runs inside a read).
class ReplyRouter : public QObject {
    Q_OBJECT
public:
    // What the router needs to know of its owner at the moment a packet arrives.
    struct State {
        const int *currentIndex = nullptr; // the owner's active device index
        bool deviceInfoQuery = false;
        bool quietProbe = false;
    };

    explicit ReplyRouter(State *state, QObject *parent = nullptr);

    void route(const QByteArray &packet, int index);

signals:
    void deviceIdentified(int index, const QString &deviceName, const QString &serial, const QString &buildDate,
                          const QString &productModel);
    // A training status, and the device it came from.
    void collectionStatusReceived(const QString &status, int index);
    void faceIdsReceived(const QList<int> &ids);
    void faceNamesReceived(const QStringList &names);
    void enabledFaceIdReceived(int id);
    // Either id may be absent; `hasFace`/`hasPortrait` say which arrived.
    void faceModeIdsReceived(int faceModeId, int portraitModeId, bool hasFace, bool hasPortrait);
    // "nDirection" arrived (any value; the receiver keeps 1 and 2 only). The quiet flag
    // has already been cleared.
    void directionReceived(int value);

private:
    void routeContent(const class QJsonObject &content, int index);

    State *m_state;
    QSet<int> m_pieceFollows; // devices whose last packet was not a reply's last
};
