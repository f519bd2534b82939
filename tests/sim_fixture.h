#pragma once

#include "app_paths.h"
#include "hid_backend.h"
#include "message_boxes.h"
#include "simulated_camera.h"
#include "simulated_camera_bus.h"

#include <QTemporaryDir>

#include <memory>

// A simulated camera bus installed as the HID backend for one test, an application
// directory of its own, and every message box answered without showing anything.
class SimFixture {
public:
    static constexpr quint16 kVendor = 0x2E7E;

    SimFixture()
    {
        AppPaths::setApplicationDirOverride(m_dir.path());
        m_bus = std::make_unique<SimulatedCameraBus>(kVendor);
        HidBackend::setActive(m_bus.get());
        MessageBoxes::setTestResponder([this](const MessageBoxRequest &request) {
            boxes.append(request);
            return answer;
        });
    }
    ~SimFixture()
    {
        MessageBoxes::setTestResponder({});
        HidBackend::setActive(nullptr);
    }

    SimulatedCameraBus *bus() const { return m_bus.get(); }
    SimulatedCamera *add(const QString &model, const QString &name = QString(), const QString &serial = QString())
    {
        return m_bus->addCamera(model, name, serial);
    }
    QString appDir() const { return m_dir.path(); }

    QList<MessageBoxRequest> boxes;
    int answer = QMessageBox::Ok;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SimulatedCameraBus> m_bus;
};
