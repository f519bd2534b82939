#pragma once

#include "face_model_flow.h"

#include <QObject>

class ModelPanelHost;
class PreviewController;
class ReplyRouter;
class QWidget;

// Where the control panel's face-model news goes: it owns the face-model flow of the
// built-in page's AI model area and hands the face lists and states the reply router
// finds, and the collection outcomes the preview reports, to the flow of the panel
// showing the active camera (the active model panel's own, else the built-in one).
class FaceModelRouting : public QObject {
    Q_OBJECT
public:
    struct Context {
        QWidget *area = nullptr; // the built-in page's AI model area
        FaceModelFlow::Hooks hooks;
        ReplyRouter *router = nullptr;
        PreviewController *preview = nullptr;
        ModelPanelHost *panels = nullptr;
    };

    FaceModelRouting(const Context &context, QObject *parent);

    FaceModelFlow *builtIn() const { return m_builtIn; }
    FaceModelFlow *active() const;

private:
    ModelPanelHost *m_panels;
    FaceModelFlow *m_builtIn;
};
