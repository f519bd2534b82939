#pragma once

#include <QMap>
#include <QString>

// The camera's pan, tilt, zoom and focus drives and its preset memory. A drive runs
// at a fixed speed from the moment its command arrives until a stop command, its end
// stop or (for home and preset recalls) its target; positions are computed from the
// camera clock whenever they are asked for.
class SimulatedPtz {
public:
    struct Position {
        double pan = 0;     // degrees, -170 (left) ... 170 (right)
        double tilt = 0;    // degrees, -30 (down) ... 90 (up)
        double zoom = 0;    // percent of the optical range, 0 (wide) ... 100 (tele)
        double focus = 500; // focus motor steps, 0 (near) ... 1000 (far)
    };

    static constexpr double kPanSpeed = 60; // degrees per second
    static constexpr double kTiltSpeed = 40;
    static constexpr double kZoomSpeed = 25;   // percent per second
    static constexpr double kFocusSpeed = 250; // steps per second
    static constexpr int kMaxPresetId = 255;

    SimulatedPtz();

    // A "PtzCmd" text; false for a text the camera does not know.
    bool command(const QString &ptzCmd, qint64 nowMs);
    // "PresetCmd" "Set", "Call" or "Del"; false for an unknown command, an id out of
    // range or a preset that does not exist.
    bool preset(const QString &presetCmd, int id, qint64 nowMs);

    Position position(qint64 nowMs) const;
    bool isMoving(qint64 nowMs) const;
    QMap<int, Position> presets() const { return m_presets; }
    void clearPresets() { m_presets.clear(); }
    // Power cycle: every drive stops and the head parks at home.
    void reset();

private:
    struct Axis {
        double min = 0, max = 0, speed = 0;
        double origin = 0; // position at `since`
        qint64 since = 0;
        double direction = 0; // -1, 0, +1
        bool hasTarget = false;
        double target = 0;

        double at(qint64 nowMs) const;
        void run(double dir, qint64 nowMs);
        void moveTo(double goal, qint64 nowMs);
        void stop(qint64 nowMs);
        bool moving(qint64 nowMs) const;
    };

    Axis m_pan, m_tilt, m_zoom, m_focus;
    QMap<int, Position> m_presets;
};
