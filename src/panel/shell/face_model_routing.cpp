#include "face_model_routing.h"

#include "model_panel_host.h"
#include "preview_controller.h"
#include "reply_router.h"

FaceModelRouting::FaceModelRouting(const Context &context, QObject *parent)
    : QObject(parent), m_panels(context.panels),
      m_builtIn(new FaceModelFlow(context.area, context.hooks, FaceModelFlow::Options(), this))
{
    ReplyRouter *router = context.router;
    connect(router, &ReplyRouter::faceIdsReceived, this,
            [this](const QList<int> &ids) { active()->handleFaceIdsResponse(ids); });
    connect(router, &ReplyRouter::faceNamesReceived, this,
            [this](const QStringList &names) { active()->setFaceNames(names); });
    connect(router, &ReplyRouter::enabledFaceIdReceived, this,
            [this](int id) { active()->handleEnabledFaceIdResponse(id); });
    connect(router, &ReplyRouter::faceModeIdsReceived, this,
            [this](int face, int portrait, bool hasFace, bool hasPortrait) {
                active()->handleFaceModeIds(face, portrait, hasFace, hasPortrait);
            });
    connect(router, &ReplyRouter::collectionStatusReceived, this,
            [this](const QString &status, int index) { active()->handleCollectionStatus(status, index); });
    connect(context.preview, &PreviewController::faceDataCollectionSuccess, this,
            [this] { active()->onFaceCollectionSucceeded(); });
    connect(context.preview, &PreviewController::faceDataCollectionFailed, this,
            [this] { active()->onFaceDataCollectionFailed(); });
}

FaceModelFlow *FaceModelRouting::active() const
{
    ModelPanel *panel = m_panels->active();
    FaceModelFlow *own = panel ? panel->faceModels() : nullptr;
    return own ? own : m_builtIn;
}
