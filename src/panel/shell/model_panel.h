#pragma once

#include "camera_params.h"
#include "device_models.h"
#include "panel_camera_context.h"

#include <QWidget>

#include <functional>

class CameraWindow;
class CollapsibleGroup;
class FaceModelFlow;
class HIDManager;
class PanelResets;
class ParamPageSet;
class QScrollArea;
class QVBoxLayout;

// A parameter panel that the control panel embeds, in place of its own pages, for the
// cameras of particular models. Each panel is self-contained: its own camera context
// (record, send guard, debounced sender, senders with the panel's log style), its own
// pages, and its own resets and file record. The control panel creates one per kind on
// first use, wraps scrollArea() in its container and drives it through this interface.
class ModelPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kAdjustDelayMs = 100;

    ModelPanel(const PanelCameraContext::Style &style, QWidget *parent = nullptr);
    ~ModelPanel() override;

    // Builds the content once, right after construction.
    virtual void buildUi() = 0;
    // The visible content, for the control panel's container.
    QScrollArea *scrollArea() const { return m_scrollArea; }

    // The active camera, at every activation.
    virtual void setDevice(HIDManager *manager, int index);
    // Shows a record: from the control panel (activation and its refreshes, not from
    // a file) or from an imported configuration file (every change is sent).
    virtual void applyParams(const CameraParams &params, bool fromFile) = 0;
    // The record for an export, as the controls show it.
    virtual void copyParams(CameraParams &out);
    // The panel's parameter rows and their controls; null before buildUi.
    virtual ParamPageSet *pages() const { return nullptr; }
    // The panel's image and factory resets; null when the panel has none.
    virtual PanelResets *resets() const { return nullptr; }
    // The camera's "sleep" setting, read outside the record at activation.
    virtual void setSleepSwitch(bool) {}
    // The focus-mode code of the panel's "模式" combo, sent again after a face data
    // collection starts; -1 when the panel has no such combo.
    virtual int focusModeCode() const { return -1; }

    // How the panel reaches the control panel's preview for a face data collection:
    // opening it when it is closed, and the window. Set before buildUi.
    struct PreviewAccess {
        std::function<void()> open;
        std::function<CameraWindow *()> window;
    };
    void setPreviewAccess(const PreviewAccess &access) { m_previewAccess = access; }
    // The panel's AI face-model area and collection; null when the panel has none.
    virtual FaceModelFlow *faceModels() const { return nullptr; }

    PanelCameraContext *camera() const { return m_camera; }
    // The content's width follows the window: its width − 30, within 200…400.
    void adjustContentWidth();
    static int contentWidthFor(int windowWidth);

signals:
    // Asks the control panel to run the guided face data collection for a model.
    void startFaceDataCollection(int modelId);
    // The panel's landscape/portrait choice, for the preview.
    void screenOrientationChanged(bool isLandscape);

protected:
    // The scroll area and its content widget (vertical layout, spacing 10, margins
    // 0, 0, 12, 0, at least 300 wide); groups go into contentLayout().
    void buildScrollContent();
    QWidget *content() const { return m_content; }
    QVBoxLayout *contentLayout() const;
    // A group 320–1000 px wide, starting collapsed, with one of the panel icons.
    CollapsibleGroup *makeGroup(const QString &title, const char *iconFile,
                                const std::function<QWidget *(QWidget *)> &factory);
    // The panel's rows: sent through its camera context, its record following them.
    ParamPageSet *makePages();
    // Widths and the collapsed start of the panel's groups.
    static void shapeGroup(CollapsibleGroup *group);

    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    PanelCameraContext *m_camera;
    PreviewAccess m_previewAccess;

private:
    void scheduleAdjust();

    QScrollArea *m_scrollArea = nullptr;
    QWidget *m_content = nullptr;
};

// Creates the model panels; the program installs the creator at start-up (the panels
// live above the control panel's library).
class ModelPanelFactory {
public:
    using Creator = std::function<ModelPanel *(PanelKind kind, QWidget *parent)>;
    static void install(Creator creator);
    // Null when nothing is installed or the kind has no panel.
    static ModelPanel *create(PanelKind kind, QWidget *parent);
};
