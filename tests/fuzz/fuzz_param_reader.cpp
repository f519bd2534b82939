// The parameter reader on any video-parameter or settings reply, alone or as the two
// replies of a whole reading: a reply that is not read leaves the record as it was,
// and slots without a camera key never change.
#include "camera_param_reader.h"
#include "camera_params.h"
#include "fuzz_environment.h"
#include "fuzz_input.h"
#include "fuzz_target.h"

#include <cstring>

KESTRANE_FUZZ_TARGET(param_reader)
{
    FuzzEnvironment::ensure();
    FuzzInput input(data, size);
    const quint8 mode = input.byte();
    const CameraParamReader::Profile profile =
        mode & 0x04 ? CameraParamReader::selectionProfile() : CameraParamReader::refreshProfile();

    CameraParams params;
    for (int s = 0; s < CameraParams::kSlotCount; ++s)
        params[s] = 1000 + s;
    const CameraParams before = params;
    qint32 sleep = -7;

    switch (mode & 3) {
    case 0: {
        const auto result = CameraParamReader::readVideoReply(input.rest(), params, profile);
        if (!CameraParamReader::proceeds(result))
            FUZZ_CHECK(std::memcmp(&params, &before, sizeof params) == 0);
        break;
    }
    case 1: {
        const auto result = CameraParamReader::readSettingsReply(input.rest(), params, &sleep, profile);
        if (!CameraParamReader::proceeds(result))
            FUZZ_CHECK(std::memcmp(&params, &before, sizeof params) == 0);
        break;
    }
    default: {
        const QByteArray video = input.chunk();
        const QByteArray settings = input.rest();
        int exchanges = 0;
        CameraParamReader::read(
            [&](const QByteArray &) { return ++exchanges == 1 ? video : settings; }, profile, params, &sleep);
        FUZZ_CHECK(exchanges <= 2);
        break;
    }
    }
    for (int s : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 48, 49, 52, 58, 200, 769})
        FUZZ_CHECK(params[s] == before[s]);
    return 0;
}
