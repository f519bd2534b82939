#pragma once

#include "control_request_queue.h"
#include "panel_api_backend.h"
#include "sim_fixture.h"
#include "simulated_camera.h"
#include "widget.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTest>
#include <QUdpSocket>

#include <memory>
#include <vector>

// The control panel with two simulated cameras and the queue every outside protocol
// submits to, for the remote control's tests and benchmark.
struct RemoteRig {
    SimFixture sim;
    SimulatedCamera *desk = sim.add("RV-K310A-WU", "Desk", "SN/001");
    SimulatedCamera *hall = sim.add("RV-K310A-WU", "Hall", "SN002");
    Widget panel;
    ControlRequestQueue queue{std::make_unique<PanelApiBackend>([this] { return &panel; })};

    // True once the panel lists both cameras and is idle.
    bool ready()
    {
        return QTest::qWaitFor([this] { return !panel.isBusy() && panel.listedCameras().size() == 2; }, 15000);
    }

    // The words the camera got, as texts.
    static QStringList received(SimulatedCamera *camera)
    {
        QStringList texts;
        for (const SimulatedCamera::ReceivedRequest &r : camera->receivedRequests())
            texts << r.text();
        return texts;
    }

    // For each of `count` cameras a UDP and a TCP port of 127.0.0.1 free a moment ago.
    static QList<QPair<quint16, quint16>> freePorts(int count)
    {
        std::vector<std::unique_ptr<QUdpSocket>> udp;
        std::vector<std::unique_ptr<QTcpServer>> tcp;
        QList<QPair<quint16, quint16>> ports;
        for (int i = 0; i < count; ++i) {
            udp.push_back(std::make_unique<QUdpSocket>());
            tcp.push_back(std::make_unique<QTcpServer>());
            udp.back()->bind(QHostAddress::LocalHost, 0);
            tcp.back()->listen(QHostAddress::LocalHost, 0);
            ports.append({udp.back()->localPort(), tcp.back()->serverPort()});
        }
        return ports;
    }
};
