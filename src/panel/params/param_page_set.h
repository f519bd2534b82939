#pragma once

#include "camera_params.h"
#include "param_control.h"
#include "param_row.h"

#include <QJsonObject>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class DebouncedParamSender;
class QWidget;

// The controls of one panel's parameter pages, built from rows, and the three things
// every row does the same way: send a change (at once or debounced, through the
// panel's send guard), show a record (apply) and write a record (collect).
// What is special about a row lives in the row's hooks.
class ParamPageSet : public QObject {
    Q_OBJECT
public:
    // The owning panel's send guard and debounced sender. While sendEnabled is false
    // the panel's senders send nothing; applyingParams is true while a record is shown.
    // `record`, when given, follows the controls: every change writes the value it
    // sends into the row's slot before sending (rows with keepsRecord).
    struct Guard {
        bool *sendEnabled = nullptr;
        bool *applyingParams = nullptr;
        DebouncedParamSender *sender = nullptr;
        CameraParams *record = nullptr;
    };
    using SendFunction = std::function<bool(const QString &key, const QString &value)>;
    struct Senders {
        SendFunction videoParam; // e.g. Widget::sendVideoParam
        SendFunction setting;    // e.g. Widget::sendSystemSetting
    };

    static constexpr int kPageSpacing = 8;

    ParamPageSet(const Guard &guard, const Senders &senders, QObject *parent = nullptr);
    ~ParamPageSet() override;

    // A page: a widget with a vertical layout (spacing 8) holding one row per entry.
    // Signals are connected after each control has its items and initial value, so
    // building sends nothing. Row keys are unique within one set.
    QWidget *buildPage(const QList<ParamRow> &rows, QWidget *parent = nullptr);

    ParamControl *control(const QString &key) const; // null when the set has no such row
    QStringList keys() const;                        // in build order
    // Shows or hides whole rows (caption, control, number box).
    void setRowsVisible(const QStringList &keys, bool visible);
    bool isApplying() const { return m_guard.applyingParams && *m_guard.applyingParams; }
    // A record the camera reported is being shown (not one from a file, whose values
    // are changes the camera has yet to take).
    bool isShowingCameraRecord() const { return isApplying() && !m_applyingFromFile; }

    // Showing a record: beginApply closes the guard and pauses the debounced sender
    // unless the record comes from a file; applyRows sets the named rows in the given
    // order (each control's handler runs as for a user change); endApply reopens both.
    void beginApply(bool fromFile);
    void applyRows(const CameraParams &params, const QStringList &order);
    void endApply();

    // Writes every row that mirrors a slot into the record; other slots keep theirs.
    void collect(CameraParams &params) const;

    // Shows values the camera reported (members of a "VideoParam" object) on the rows
    // of `keys` without sending them, storing them in `params`; a missing or
    // non-numeric member keeps its value.
    void showReported(const QJsonObject &videoParam, const QStringList &keys, CameraParams &params);

    // The shown value a slot value gives on a row (sliders only; 64-bit arithmetic,
    // then clamped into the int range).
    static int shownValue(const ParamRow &row, qint32 slotValue);

private:
    static void alignControls(const QList<QLabel *> &captions);
    void onValueChanged(ParamControl *control, int value);
    void sendValue(const ParamRow &row, const ParamRow::KeySlot &target, int sent);
    void applyRow(ParamControl &control, const CameraParams &params);
    void connectControl(ParamControl *control);

    Guard m_guard;
    bool m_applyingFromFile = false;
    Senders m_senders;
    std::vector<std::unique_ptr<ParamControl>> m_controls;
};
