#include "simulated_ptz.h"

#include <cmath>

double SimulatedPtz::Axis::at(qint64 nowMs) const {
    if (direction == 0)
        return origin;
    const double travelled = speed * double(qMax<qint64>(0, nowMs - since)) / 1000.0;
    double p = origin + direction * travelled;
    if (hasTarget)
        p = direction > 0 ? qMin(p, target) : qMax(p, target);
    return qBound(min, p, max);
}

void SimulatedPtz::Axis::run(double dir, qint64 nowMs) {
    origin = at(nowMs);
    since = nowMs;
    direction = dir;
    hasTarget = false;
}

void SimulatedPtz::Axis::moveTo(double goal, qint64 nowMs) {
    origin = at(nowMs);
    since = nowMs;
    target = qBound(min, goal, max);
    hasTarget = true;
    direction = target > origin ? 1 : (target < origin ? -1 : 0);
}

void SimulatedPtz::Axis::stop(qint64 nowMs) {
    origin = at(nowMs);
    since = nowMs;
    direction = 0;
    hasTarget = false;
}

bool SimulatedPtz::Axis::moving(qint64 nowMs) const {
    if (direction == 0)
        return false;
    const double p = at(nowMs);
    if (hasTarget && p == target)
        return false;
    return !(direction > 0 ? p >= max : p <= min);
}

SimulatedPtz::SimulatedPtz() {
    m_pan.min = -170;
    m_pan.max = 170;
    m_pan.speed = kPanSpeed;
    m_tilt.min = -30;
    m_tilt.max = 90;
    m_tilt.speed = kTiltSpeed;
    m_zoom.min = 0;
    m_zoom.max = 100;
    m_zoom.speed = kZoomSpeed;
    m_focus.min = 0;
    m_focus.max = 1000;
    m_focus.speed = kFocusSpeed;
    reset();
}

void SimulatedPtz::reset() {
    const Position home;
    for (Axis *a : {&m_pan, &m_tilt, &m_zoom, &m_focus}) {
        a->direction = 0;
        a->hasTarget = false;
        a->since = 0;
    }
    m_pan.origin = home.pan;
    m_tilt.origin = home.tilt;
    m_zoom.origin = home.zoom;
    m_focus.origin = home.focus;
}

bool SimulatedPtz::command(const QString &c, qint64 now) {
    if (c == QLatin1String("Up")) {
        m_tilt.run(1, now);
    } else if (c == QLatin1String("Down")) {
        m_tilt.run(-1, now);
    } else if (c == QLatin1String("Left")) {
        m_pan.run(-1, now);
    } else if (c == QLatin1String("Right")) {
        m_pan.run(1, now);
    } else if (c == QLatin1String("Stop")) {
        m_pan.stop(now);
        m_tilt.stop(now);
    } else if (c == QLatin1String("ZoomTele")) {
        m_zoom.run(1, now);
    } else if (c == QLatin1String("ZoomWide")) {
        m_zoom.run(-1, now);
    } else if (c == QLatin1String("ZoomStop")) {
        m_zoom.stop(now);
    } else if (c == QLatin1String("FocusNear")) {
        m_focus.run(-1, now);
    } else if (c == QLatin1String("FocusFar")) {
        m_focus.run(1, now);
    } else if (c == QLatin1String("FocusStop")) {
        m_focus.stop(now);
    } else if (c == QLatin1String("Gohome")) {
        const Position home;
        m_pan.moveTo(home.pan, now);
        m_tilt.moveTo(home.tilt, now);
    } else {
        return false;
    }
    return true;
}

bool SimulatedPtz::preset(const QString &c, int id, qint64 now) {
    if (id < 0 || id > kMaxPresetId)
        return false;
    if (c == QLatin1String("Set")) {
        m_presets.insert(id, position(now));
        return true;
    }
    if (c == QLatin1String("Call")) {
        if (!m_presets.contains(id))
            return false;
        const Position p = m_presets.value(id);
        m_pan.moveTo(p.pan, now);
        m_tilt.moveTo(p.tilt, now);
        m_zoom.moveTo(p.zoom, now);
        m_focus.moveTo(p.focus, now);
        return true;
    }
    if (c == QLatin1String("Del"))
        return m_presets.remove(id) > 0;
    return false;
}

SimulatedPtz::Position SimulatedPtz::position(qint64 now) const {
    Position p;
    p.pan = m_pan.at(now);
    p.tilt = m_tilt.at(now);
    p.zoom = m_zoom.at(now);
    p.focus = m_focus.at(now);
    return p;
}

bool SimulatedPtz::isMoving(qint64 now) const {
    return m_pan.moving(now) || m_tilt.moving(now) || m_zoom.moving(now) || m_focus.moving(now);
}
