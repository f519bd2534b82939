// Default profiles per camera: saved from the panel, sent to the camera when it comes
// back before anything is read from it, and never overwritten by what it reports.
#include "camera_config_file.h"
#include "camera_profile_restorer.h"
#include "camera_profile_store.h"
#include "sim_fixture.h"
#include "widget.h"

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestCameraProfiles : public QObject {
    Q_OBJECT
private slots:
    void profileIsRestoredWhenTheCameraComesBack()
    {
        SimFixture sim;
        SimulatedCamera *camera = sim.add("RV-K310A-WU", "Cam", "SN777");
        camera->state().setVideoParamValue("Luminance", 23);
        camera->state().setVideoParamValue("Contrast", 61);
        auto w = std::make_unique<Widget>();
        QSignalSpy restored(w->profileRestorer(), &CameraProfileRestorer::profileRestored);
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
        QVERIFY(!w->restoreProfileAction()->isChecked());
        w->saveProfileAction()->trigger();
        QVERIFY(w->restoreProfileAction()->isChecked());
        const QString path = CameraProfileStore::filePath("SN777");
        const QByteArray saved = fileBytes(path);
        QCOMPARE(saved.size(), CameraConfigFile::kFileSize);

        // The camera is unplugged and comes back with its factory values.
        sim.bus()->removeCamera(camera);
        w->handleRefresh();
        camera = sim.add("RV-K310A-WU", "Cam", "SN777");
        QVERIFY(camera->videoParam("Luminance") != 23);
        w->handleRefresh();
        QTRY_COMPARE(restored.count(), 1);
        QCOMPARE(restored.first().value(1).toBool(), true);
        QCOMPARE(camera->videoParam("Luminance"), 23);
        QCOMPARE(camera->videoParam("Contrast"), 61);
        // Sent before anything was read back: only the identity came first.
        const auto requests = camera->receivedRequests();
        QVERIFY(requests.size() > 2);
        QCOMPARE(requests[1].cmd, QString("ReqSetVideoParam"));
        for (const auto &r : requests)
            QVERIFY2(!r.cmd.startsWith("ReqGet"), qPrintable(r.cmd));

        // Shown when the camera is chosen; the profile is not rewritten by the reading.
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
        QCOMPARE(w->cameraParams()[CameraParams::Brightness], 23);
        QVERIFY(w->restoreProfileAction()->isChecked());
        QCOMPARE(fileBytes(path), saved);

        // A refresh of cameras already listed sends nothing again.
        w->handleRefresh();
        QTest::qWait(50);
        QCOMPARE(restored.count(), 1);

        // Switched off: the camera's own values stay.
        w->onDeviceDoubleClicked(w->deviceItem(0), 0);
        w->restoreProfileAction()->setChecked(false);
        sim.bus()->removeCamera(camera);
        w->handleRefresh();
        camera = sim.add("RV-K310A-WU", "Cam", "SN777");
        w->handleRefresh();
        QTest::qWait(50);
        QCOMPARE(restored.count(), 1);
        QVERIFY(camera->videoParam("Luminance") != 23);
    }

    void hostileSerialsAndDamagedProfiles()
    {
        SimFixture sim;
        QCOMPARE(CameraProfileStore::filePath(""), QString());
        QVERIFY(!CameraProfileStore::filePath("../../etc/x").contains(".."));
        CameraProfileStore::setRestoreEnabled("SN1", true);
        QVERIFY(!CameraProfileStore::profileToRestore("SN1")); // no file
        QFile damaged(CameraProfileStore::filePath("SN1"));
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("not a profile");
        damaged.close();
        QVERIFY(!CameraProfileStore::profileToRestore("SN1"));
    }
};

QTEST_MAIN(TestCameraProfiles)
#include "test_camera_profiles.moc"
