#include "simulated_camera_bus.h"

#include "device_models.h"
#include "packet_codec.h"
#include "simulated_camera.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <cstring>
#include <memory>
#include <vector>

namespace {
struct OpenHandle {
    SimulatedCamera *camera = nullptr;
    quint64 session = 0;
    QString error;
};

// Stable across runs (unlike qHash, which is seeded per process).
quint32 stableHash(const QString &text) {
    quint32 h = 17;
    for (const QChar c : text)
        h = h * 31 + c.unicode();
    return h;
}
} // namespace

struct SimulatedCameraBus::Private {
    mutable QMutex mutex;
    quint16 vendorId = 0;
    std::vector<std::unique_ptr<SimulatedCamera>> cameras;
    std::vector<std::unique_ptr<OpenHandle>> handles;
    int nextSequence = 1;
    int initResult = 0;
    int initCalls = 0;
    int exitCalls = 0;

    OpenHandle *find(Handle handle) const {
        for (const auto &h : handles)
            if (h.get() == handle)
                return h.get();
        return nullptr;
    }

    bool serialTaken(const QString &serial) const {
        for (const auto &c : cameras)
            if (c->serial() == serial)
                return true;
        return false;
    }

    bool pathTaken(const QString &path) const {
        for (const auto &c : cameras)
            if (c->path() == path)
                return true;
        return false;
    }

    // A usable handle: its camera is still on the bus and has not restarted since.
    static bool alive(OpenHandle *h) {
        if (!h->camera) {
            h->error = QStringLiteral("device removed");
            return false;
        }
        if (!h->camera->isPresent() || h->camera->session() != h->session) {
            h->error = QStringLiteral("device disconnected");
            return false;
        }
        return true;
    }
};

SimulatedCameraBus::SimulatedCameraBus(quint16 vendorId) : d(new Private) {
    d->vendorId = vendorId;
}

SimulatedCameraBus::~SimulatedCameraBus() {
    if (HidBackend::active() == this)
        HidBackend::setActive(nullptr);
    delete d;
}

QString SimulatedCameraBus::defaultDeviceName(const QString &model) {
    const QString name = displayNameForModel(model);
    if (name.isEmpty() || name == QString::fromUtf8(kUnknownDeviceName))
        return model.isEmpty() ? QStringLiteral("Camera") : model;
    return name;
}

SimulatedCamera *SimulatedCameraBus::addCamera(const QString &model, const QString &deviceName,
                                               const QString &serial) {
    QMutexLocker locker(&d->mutex);
    QString sn = serial;
    if (sn.isEmpty()) {
        // 12 characters: a model part and a sequence, so the last three differ
        // between the cameras of one bus.
        do {
            sn = QStringLiteral("SN%1%2")
                     .arg(stableHash(model) % 10000000u, 7, 10, QLatin1Char('0'))
                     .arg(d->nextSequence++ % 1000, 3, 10, QLatin1Char('0'));
        } while (d->serialTaken(sn));
    }
    const int modelIndex = int(knownModelCodes().indexOf(model));
    const quint16 productId = quint16(modelIndex >= 0 ? 0x0100 + modelIndex : 0x01FF);
    auto camera = std::make_unique<SimulatedCamera>(
        model, deviceName.isEmpty() ? defaultDeviceName(model) : deviceName, sn, productId);
    QString path = camera->path();
    for (int n = 2; d->pathTaken(path); ++n)
        path = camera->path() + QLatin1Char('#') + QString::number(n);
    camera->setPath(path);
    d->cameras.push_back(std::move(camera));
    return d->cameras.back().get();
}

void SimulatedCameraBus::removeCamera(SimulatedCamera *camera) {
    QMutexLocker locker(&d->mutex);
    for (auto &h : d->handles)
        if (h->camera == camera)
            h->camera = nullptr;
    for (auto it = d->cameras.begin(); it != d->cameras.end(); ++it) {
        if (it->get() == camera) {
            d->cameras.erase(it);
            return;
        }
    }
}

QList<SimulatedCamera *> SimulatedCameraBus::cameras() const {
    QMutexLocker locker(&d->mutex);
    QList<SimulatedCamera *> out;
    for (const auto &c : d->cameras)
        out << c.get();
    return out;
}

SimulatedCamera *SimulatedCameraBus::cameraAt(int i) const {
    QMutexLocker locker(&d->mutex);
    return i >= 0 && i < int(d->cameras.size()) ? d->cameras[size_t(i)].get() : nullptr;
}

SimulatedCamera *SimulatedCameraBus::cameraByPath(const QString &path) const {
    QMutexLocker locker(&d->mutex);
    for (const auto &c : d->cameras)
        if (c->path() == path)
            return c.get();
    return nullptr;
}

quint16 SimulatedCameraBus::vendorId() const {
    return d->vendorId;
}

SimulatedCameraBus *SimulatedCameraBus::install(const QStringList &models, quint16 vendorId) {
    auto *bus = new SimulatedCameraBus(vendorId);
    const QStringList list = models.isEmpty() ? QStringList{knownModelCodes().first()} : models;
    for (const QString &model : list)
        bus->addCamera(model);
    HidBackend::setActive(bus);
    return bus;
}

void SimulatedCameraBus::setInitResult(int result) {
    QMutexLocker locker(&d->mutex);
    d->initResult = result;
}

int SimulatedCameraBus::initCalls() const {
    QMutexLocker locker(&d->mutex);
    return d->initCalls;
}

int SimulatedCameraBus::exitCalls() const {
    QMutexLocker locker(&d->mutex);
    return d->exitCalls;
}

int SimulatedCameraBus::openHandles() const {
    QMutexLocker locker(&d->mutex);
    return int(d->handles.size());
}

int SimulatedCameraBus::init() {
    QMutexLocker locker(&d->mutex);
    ++d->initCalls;
    return d->initResult;
}

int SimulatedCameraBus::exit() {
    QMutexLocker locker(&d->mutex);
    ++d->exitCalls;
    return 0;
}

QList<HidDeviceInfo> SimulatedCameraBus::enumerate(quint16 vendorId) {
    QMutexLocker locker(&d->mutex);
    QList<HidDeviceInfo> out;
    if (vendorId != 0 && vendorId != d->vendorId)
        return out;
    for (const auto &c : d->cameras)
        if (c->isPresent())
            out << HidDeviceInfo{d->vendorId, c->productId(), c->path()};
    return out;
}

HidBackend::Handle SimulatedCameraBus::open(const QByteArray &utf8Path) {
    QMutexLocker locker(&d->mutex);
    const QString path = QString::fromUtf8(utf8Path);
    for (const auto &c : d->cameras) {
        if (c->path() != path || !c->isPresent())
            continue;
        auto h = std::make_unique<OpenHandle>();
        h->camera = c.get();
        h->session = c->session();
        d->handles.push_back(std::move(h));
        return d->handles.back().get();
    }
    return nullptr;
}

int SimulatedCameraBus::setNonBlocking(Handle handle, int) {
    QMutexLocker locker(&d->mutex);
    return d->find(handle) ? 0 : -1;
}

int SimulatedCameraBus::write(Handle handle, const unsigned char *data, size_t length) {
    QMutexLocker locker(&d->mutex);
    OpenHandle *h = d->find(handle);
    if (!h)
        return -1;
    if (!data || length == 0 || length > size_t(PacketCodec::kReportSize)) {
        h->error = QStringLiteral("invalid report length");
        return -1;
    }
    if (!Private::alive(h))
        return -1;
    const int n = h->camera->write(QByteArray(reinterpret_cast<const char *>(data), int(length)));
    if (n < 0)
        h->error = QStringLiteral("write failed (simulated fault)");
    return n;
}

int SimulatedCameraBus::readTimeout(Handle handle, unsigned char *data, size_t length, int timeoutMs) {
    const int timeout = timeoutMs < 0 ? kMaxBlockingReadMs : timeoutMs;
    const QDeadlineTimer deadline(timeout);
    for (;;) {
        qint64 waitMs = 0;
        {
            QMutexLocker locker(&d->mutex);
            OpenHandle *h = d->find(handle);
            if (!h || !data)
                return -1;
            if (!Private::alive(h))
                return -1;
            qint64 readyIn = -1;
            const QByteArray report = h->camera->takeReport(&readyIn);
            if (!report.isEmpty()) {
                const size_t n = qMin(length, size_t(report.size()));
                std::memcpy(data, report.constData(), n);
                return int(n);
            }
            const qint64 remaining = deadline.remainingTime();
            if (remaining <= 0)
                return 0;
            waitMs = readyIn >= 0 ? qMin(readyIn, remaining) : remaining;
        }
        // Nothing to read yet: wait as the hardware would, without holding the bus.
        QThread::msleep(quint64(qMax<qint64>(1, waitMs)));
    }
}

void SimulatedCameraBus::close(Handle handle) {
    QMutexLocker locker(&d->mutex);
    for (auto it = d->handles.begin(); it != d->handles.end(); ++it) {
        if (it->get() == handle) {
            d->handles.erase(it);
            return;
        }
    }
}

QString SimulatedCameraBus::errorText(Handle handle) {
    QMutexLocker locker(&d->mutex);
    OpenHandle *h = d->find(handle);
    if (!h)
        return QStringLiteral("invalid handle");
    return h->error.isEmpty() ? QStringLiteral("success") : h->error;
}
