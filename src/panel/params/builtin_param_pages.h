#pragma once

#include "builtin_param_rows.h"
#include "camera_params.h"
#include "param_page_set.h"

#include <QJsonObject>
#include <QObject>

class QWidget;

// The control panel's own parameter pages: the image page, the first rows of the focus
// page (with the AI face-model area below them) and the settings page, plus the
// regrouped exposure, colour and noise pages. Shows a record on them and collects it.
class CollapsibleGroup;

class BuiltInParamPages : public QObject {
    Q_OBJECT
public:
    struct Callbacks {
        ParamPageSet::SendFunction sendVideoParam;
        ParamPageSet::SendFunction sendSetting;
        BuiltInParamRows::Callbacks rows;
        // The colour tables of the record: shown by apply, and sent after a file's
        // record has been shown.
        std::function<void(const CameraParams &)> showColourTables;
        std::function<void(const CameraParams &)> sendColourTables;
    };

    BuiltInParamPages(const ParamPageSet::Guard &guard, const Callbacks &callbacks, QObject *parent = nullptr);

    // Content factories for the groups "图像调节", "对焦" and "设置".
    QWidget *buildImagePage(QWidget *parent);
    QWidget *buildFocusPage(QWidget *parent);
    // The hidden container of the AI model area at the foot of a focus page.
    static QWidget *addAiModelHost(QWidget *page);
    QWidget *buildSettingsPage(QWidget *parent);
    // Content factories for "曝光调整", "颜色调节" and "噪声抑制": controls of their own,
    // sending like the others, not shown by apply.
    QWidget *buildExposurePage(QWidget *parent);
    // "曝光调整", "颜色调节" and "噪声抑制" as hidden groups under `parent`, for the panels
    // that split the pages by theme.
    QList<CollapsibleGroup *> buildThemeGroups(QWidget *parent);
    QWidget *buildColourPage(QWidget *parent);
    QWidget *buildNoisePage(QWidget *parent);

    // Fills the three pages from a record. Not from a file: the guard stays closed and
    // the debounced sender paused throughout, so nothing is sent but the face lists.
    // From a file: every changed control sends, "曝光" and "白平衡" always (they pass
    // through "no selection"), then "eSceneMode" and the colour tables.
    void apply(const CameraParams &params, bool fromFile);
    // The camera's current "u8Yellow", "u8Orange" and "ucRuddy" (from a "VideoParam"
    // object; a missing key keeps its value): stored in `params` and shown on their
    // sliders without being sent back.
    void showTones(const QJsonObject &videoParam, CameraParams &params);
    // Copies the three pages into a record; slots without a control keep their values.
    void collect(CameraParams &params) const;

    // The AI face-model area of the focus page: an empty, hidden container
    // (margins 0, 10, 0, 0; spacing 8) that the face-model feature fills.
    QWidget *aiModelArea() const { return m_aiModelArea; }
    ParamPageSet *pages() const { return m_pages; }
    ParamControl *control(const QString &key) const { return m_pages->control(key); }
    ParamPageSet *spareGroupPages() const { return m_spare; }

private:
    Callbacks m_callbacks;
    ParamPageSet *m_pages;
    ParamPageSet *m_spare;
    QWidget *m_aiModelArea = nullptr;
};
