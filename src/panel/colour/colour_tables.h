#pragma once

#include "camera_params.h"
#include "hsv_table.h"

#include <QJsonObject>
#include <QObject>

#include <functional>

class PanelCameraContext;
class QTimer;

// A camera's two colour tables and their exchanges: reading both tables, sending a
// table, and re-reading the yellow, orange and ruddy parameters that a table change
// moves on the camera. The owner tells it how to reach the selected camera.
class ColourTables : public QObject {
    Q_OBJECT
public:
    static constexpr int kTableRefreshMs = 800;

    // The tables as a parameter record keeps them (hue in slots 81–104, saturation in
    // 105–128).
    static HsvTable recordTable(const CameraParams &params, HsvKind kind);
    static void setRecordTable(CameraParams &params, HsvKind kind, const HsvTable &table);

    struct Link {
        // Sends one command text to the selected camera; `reply`, when given, receives
        // the collected reply (zero-terminated, at most `replyCapacity` bytes).
        std::function<bool(quint32 cmdId, const QByteArray &text, char *reply, int replyCapacity)> send;
        // The panel's send guard; table sends do nothing while it is closed.
        std::function<bool()> sendEnabled;
    };

    // A refresh reads both tables and stays silent about failures; the read that
    // activates a camera logs every outcome and stops at a failed reply.
    enum class ReadMode { Refresh, Activation };
    // How one table read ended.
    enum class ReadOutcome {
        Stored,      // the table was read and stored
        NotObject,   // the reply was JSON but not an object: skipped
        Incomplete,  // the member was missing or had the wrong length: skipped
        Failed,      // not JSON, or a negative result: a camera being activated stops here
    };

    explicit ColourTables(Link link, QObject *parent = nullptr);
    // The tables of a panel's camera: sent to its active camera through its send
    // guard, kept in its parameter record.
    static ColourTables *forCamera(PanelCameraContext *camera, QObject *parent);

    HsvTable table(HsvKind kind) const;
    // Stores without sending and without telling the editors.
    void setTable(HsvKind kind, const HsvTable &table);
    // Keeps the tables somewhere else (the camera's parameter record). Both functions
    // must be given; the tables held so far are handed to `store` at once.
    void setStorage(std::function<HsvTable(HsvKind)> load, std::function<void(HsvKind, const HsvTable &)> store);

    // Reads the hue table, then the saturation table. In activation mode it returns
    // false at a reply that ends the activation, without reading the second table.
    bool readHsvTables(ReadMode mode = ReadMode::Refresh);
    ReadOutcome readTable(HsvKind kind, ReadMode mode);

    // The set commands; nothing while the send guard is closed.
    bool sendTable(HsvKind kind, const HsvTable &table);
    // Called with each table command about to be sent (past the guard), for panels
    // that log their table sends.
    void setSendRecord(std::function<void(HsvKind kind, const QByteArray &text)> record)
    {
        m_sendRecord = std::move(record);
    }
    bool sendHueTable(const HsvTable &table) { return sendTable(HsvKind::Hue, table); }
    bool sendSaturationTable(const HsvTable &table) { return sendTable(HsvKind::Saturation, table); }

    void refreshYellowOrangeRuddy();
    // refreshYellowOrangeRuddy once, 800 ms from now.
    void scheduleYellowOrangeRuddyRefresh();

    // Single shot, 800 ms; its timeout reads both tables. The image page restarts it.
    QTimer *tableRefreshTimer() const { return m_tableRefreshTimer; }

signals:
    // A table read from the camera was stored; the editors show it.
    void tableRead(HsvKind kind, const HsvTable &table);
    // The camera's current "VideoParam" after refreshYellowOrangeRuddy: the owner
    // takes "u8Yellow", "u8Orange" and "ucRuddy" from it (a missing key keeps its value).
    void yellowOrangeRuddyRead(const QJsonObject &videoParam);

private:
    Link m_link;
    HsvTable m_hue;
    HsvTable m_sat;
    std::function<HsvTable(HsvKind)> m_load;
    std::function<void(HsvKind, const HsvTable &)> m_store;
    std::function<void(HsvKind, const QByteArray &)> m_sendRecord;
    QTimer *m_tableRefreshTimer;
};
