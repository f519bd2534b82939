#pragma once

#include "text_finder.h"

#include <QImage>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QWidget;

// Checks windows as they are drawn, state by state: every visible text has the room
// its font needs (or is elided on purpose with a tool tip), stands out 4.5 : 1 from
// the pixels behind it, is not covered by a sibling widget, and every window lies on
// its screen. Each violation is kept with a screenshot in which it is framed in red.
//
// A small allow-list names violations known to be mended elsewhere: they are reported
// as allowed and do not count.
class WindowCheck {
public:
    enum class Rule { Clipped, Contrast, Overlap, OffScreen, StrayDialog };
    static QString ruleName(Rule rule);

    // A known violation: the rule, a part of the state's name, a part of the widget's
    // description and of the text (empty parts match anything), and why it is left.
    struct Allowance {
        Rule rule;
        QString state;
        QString widget;
        QString text;
        QString reason;
    };

    struct Violation {
        Rule rule;
        QString state;
        QString widget;
        QString text;
        QString detail;
        QString shot; // the screenshot of the state, empty for source findings
        QString allowedBecause;
    };

    WindowCheck(const QString &shotDir, const QList<Allowance> &allowances);

    // Checks the window as it shows now under the name `state`. A scroll area with
    // more content than room is scrolled through, and each part is checked.
    void inspect(const QString &state, QWidget *window);
    // Opens each list of the visible combo boxes and each menu of the visible buttons
    // of `window` once, and checks them as states of their own.
    void inspectPopups(const QString &state, QWidget *window);
    // A finding of the source check.
    void addStrayDialog(const QString &where, const QString &line);

    int stateCount() const { return m_states; }
    int widgetCount() const { return m_widgets; }
    QList<Violation> violations() const { return m_violations; }
    // Violations not covered by the allow-list.
    int failures() const;
    // "N states × M widgets, K violations", the violations, and the allow-list.
    QString report(const QString &language) const;
    // Every state also written as a picture (for looking at the walk).
    void setShotAll(bool all) { m_shotAll = all; }

private:
    void checkOnce(const QString &state, QWidget *window, QSet<QString> *seen);
    void add(Violation v, QList<QRect> *frames, const QRect &where);
    QString allowance(const Violation &v) const;
    QString saveShot(const QString &state, const QImage &shot, const QList<QRect> &frames);

    QString m_shotDir;
    QList<Allowance> m_allowances;
    QList<Violation> m_violations;
    QSet<QString> m_reported;    // rule, state and widget of each violation, once
    QSet<QString> m_popupsSeen; // combo lists and menus already checked
    QSet<QString> m_designed;  // grounds of the designed colour pairs met
    int m_states = 0;
    int m_widgets = 0;
    int m_shots = 0;
    bool m_shotAll = false;
};
