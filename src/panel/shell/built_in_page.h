#pragma once

#include "camera_params.h"
#include "device_models.h"

#include <QObject>

#include <functional>

class BuiltInParamPages;
class ColourPage;
class ColourTables;
class PanelCameraContext;
class PanelResets;
class QScrollArea;
class QWidget;

// The control panel's own page, shown for the cameras that have no model panel: a
// scrolling page with the groups "图像调节", "对焦", "调色盘" and "设置" (the AI face-model
// area at the foot of the focus page), the parameter pages behind them and their image
// and factory resets. It works on the control panel's camera context; the re-read of
// the active camera and the face-list request are the panel's.
class BuiltInPage : public QObject {
    Q_OBJECT
public:
    struct Context {
        QWidget *window = nullptr; // parents the page
        PanelCameraContext *camera = nullptr;
        ColourTables *colourTables = nullptr;
        ColourPage *colourPage = nullptr;
        const PanelKind *kind = nullptr;   // the panel kind of the active camera
        std::function<void()> reread;      // reads the active camera's record again
        std::function<void()> requestFaceModels;
    };

    // Builds the page, hidden.
    BuiltInPage(const Context &context, QObject *parent);

    QScrollArea *page() const { return m_page; }
    QWidget *content() const { return m_content; }
    BuiltInParamPages *paramPages() const { return m_paramPages; }
    PanelResets *resets() const { return m_resets; }

    // Shows a record on the pages; with the focus mode on face recognition and the
    // face-model area shown, asks for the face lists (the model panels of kinds 1 and 4
    // ask for theirs themselves).
    void apply(const CameraParams &params, bool fromFile);

private:
    void addParameterGroups();

    Context m_context;
    QWidget *m_content = nullptr;
    QScrollArea *m_page = nullptr;
    BuiltInParamPages *m_paramPages = nullptr;
    PanelResets *m_resets = nullptr;
};
