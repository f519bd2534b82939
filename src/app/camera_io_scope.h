#pragma once

// Marks the time a camera connection is being read or its reply delivered. No nested
// event loop may run meanwhile: a box's loop could start a device refresh that closes
// and deletes the connection the read is using (and, while the connection holds its
// lock, wait on that lock for ever). Boxes asked for meanwhile are shown once the read
// is over (see MessageBoxes). Counts per thread; scopes nest.
class CameraIoScope {
public:
    CameraIoScope();
    ~CameraIoScope();
    CameraIoScope(const CameraIoScope &) = delete;
    CameraIoScope &operator=(const CameraIoScope &) = delete;

    // True inside a scope on this thread.
    static bool active();
};
