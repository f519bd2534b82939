#pragma once

#include "ai_model_area.h"
#include "face_collection_overlay.h"
#include "model_name_dialog.h"
#include "preview_dialogs.h"
#include "simulated_camera.h"
#include "simulated_video.h"
#include "widget.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStringList>

#include <memory>

// What the face-model tests share: short collection timings, the name dialog answered
// from a list (cancelled when it runs out), the preview's dialogs rejected, the texts a
// camera received for one command, the control panel with its camera activated and the items of an AI model combo as "text:ID".
namespace FaceModelTestKit {

inline void install(QStringList *names) {
    FaceCollectionOverlay::setTimings({10, 40, 20, 20, 50});
    ModelNameDialog::setTestDriver([names](ModelNameDialog &d) {
        if (names->isEmpty()) {
            d.reject();
            return;
        }
        d.edit()->setText(names->takeFirst());
        d.accept();
    });
    PreviewDialogs::setDialogResponder([](QDialog *) { return int(QDialog::Rejected); });
}

inline void uninstall() {
    ModelNameDialog::setTestDriver(nullptr);
    PreviewDialogs::setDialogResponder(nullptr);
    SimulatedVideo::uninstall();
}

// The control panel, shown, with the first listed camera activated.
inline std::unique_ptr<Widget> activateFirstCamera() {
    auto w = std::make_unique<Widget>();
    w->show();
    QSignalSpy refreshed(w.get(), &Widget::deviceListRefreshed);
    refreshed.wait(5000);
    w->onDeviceDoubleClicked(w->deviceItem(0), 0);
    return w;
}

inline QStringList received(SimulatedCamera *camera, const QString &cmd) {
    QStringList out;
    for (const auto &r : camera->receivedRequests())
        if (r.cmd == cmd)
            out << r.text();
    return out;
}

inline QStringList items(const QComboBox *combo) {
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << QString("%1:%2").arg(combo->itemText(i)).arg(combo->itemData(i, AiModelArea::kIdRole).toInt());
    return out;
}

} // namespace FaceModelTestKit
