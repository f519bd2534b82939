#include "hid_backend.h"

#include "hidapi_backend.h"

namespace {
HidBackend *g_active = nullptr;
}

HidBackend *HidBackend::active()
{
    if (!g_active) {
        static HidapiBackend hidapi;
        g_active = &hidapi;
    }
    return g_active;
}

void HidBackend::setActive(HidBackend *backend)
{
    g_active = backend;
}
