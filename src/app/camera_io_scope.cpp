#include "camera_io_scope.h"

namespace {
thread_local int g_depth = 0;
} // namespace

CameraIoScope::CameraIoScope()
{
    ++g_depth;
}

CameraIoScope::~CameraIoScope()
{
    --g_depth;
}

bool CameraIoScope::active()
{
    return g_depth > 0;
}
