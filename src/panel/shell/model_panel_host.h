#pragma once

#include "device_models.h"
#include "model_panel.h"

#include <QMap>
#include <QObject>

class HIDManager;
class QVBoxLayout;
class QWidget;

// The control panel's model panels: one per kind, created on first use and kept, each
// in its own named container in the panel body right below the PTZ area. It shows the
// panel of the active camera's kind with that camera and its record, hides them all,
// and holds their debounced senders back while a firmware upgrade runs. The panels'
// requests for a face data collection and the LNQ panel's orientation choice come out
// as its signals.
class ModelPanelHost : public QObject {
    Q_OBJECT
public:
    // Where the panels go and what they reach of the control panel.
    struct Context {
        QWidget *window = nullptr;           // parents the panels and their containers
        QVBoxLayout *body = nullptr;         // the panel body
        QWidget *anchor = nullptr;           // the containers go right below it
        const PanelKind *kind = nullptr;     // the kind of the active camera's panel
        ModelPanel::PreviewAccess preview;   // the control panel's preview
    };

    ModelPanelHost(const Context &context, QObject *parent);

    // The panel of a kind, once created.
    ModelPanel *panel(PanelKind kind) const { return m_panels.value(kind); }
    // The one showing the active camera; null while the built-in pages do.
    ModelPanel *active() const;
    // The panel of a kind, created (hidden) if it does not exist yet; null when the
    // kind has none.
    ModelPanel *ensure(PanelKind kind);
    // Shows the panel of a kind with the active camera and its record.
    void show(PanelKind kind, HIDManager *manager, int index, const CameraParams &params, qint32 sleepSetting);
    void hideAll();
    void setHeld(bool hold);

signals:
    void startFaceDataCollection(int modelId);
    void screenOrientationChanged(bool isLandscape);

private:
    Context m_context;
    QMap<PanelKind, ModelPanel *> m_panels;
    QMap<PanelKind, QWidget *> m_containers;
};
