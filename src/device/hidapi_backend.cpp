#include "hidapi_backend.h"

#include <hidapi.h>

namespace {
hid_device *dev(HidBackend::Handle handle)
{
    return static_cast<hid_device *>(handle);
}
} // namespace

int HidapiBackend::init()
{
    return hid_init();
}

int HidapiBackend::exit()
{
    return hid_exit();
}

QList<HidDeviceInfo> HidapiBackend::enumerate(quint16 vendorId)
{
    QList<HidDeviceInfo> result;
    hid_device_info *list = hid_enumerate(vendorId, 0);
    for (hid_device_info *it = list; it; it = it->next) {
        HidDeviceInfo info;
        info.vendorId = it->vendor_id;
        info.productId = it->product_id;
        info.path = QString::fromUtf8(it->path ? it->path : "");
        result << info;
    }
    hid_free_enumeration(list);
    return result;
}

HidBackend::Handle HidapiBackend::open(const QByteArray &utf8Path)
{
    return hid_open_path(utf8Path.constData());
}

int HidapiBackend::setNonBlocking(Handle handle, int nonBlocking)
{
    return hid_set_nonblocking(dev(handle), nonBlocking);
}

int HidapiBackend::write(Handle handle, const unsigned char *data, size_t length)
{
    return hid_write(dev(handle), data, length);
}

int HidapiBackend::readTimeout(Handle handle, unsigned char *data, size_t length, int timeoutMs)
{
    return hid_read_timeout(dev(handle), data, length, timeoutMs);
}

void HidapiBackend::close(Handle handle)
{
    hid_close(dev(handle));
}

QString HidapiBackend::errorText(Handle handle)
{
    const wchar_t *text = hid_error(dev(handle));
    return text ? QString::fromWCharArray(text) : QString();
}
