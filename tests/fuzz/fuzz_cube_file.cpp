// .cube reading on any file: a file is refused, or gives a cube of a size the format
// allows with exactly N^3 rows. (Expanding an accepted cube into the full table costs
// the same for every cube and is left to the LUT tests.)
#include "fuzz_environment.h"
#include "fuzz_target.h"
#include "lut3d.h"

#include <QFile>

KESTRANE_FUZZ_TARGET(cube_file)
{
    FuzzEnvironment::ensure();
    const QString path = FuzzEnvironment::directory() + QStringLiteral("/fuzz.cube");
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();

    int n = -1;
    cv::Mat cube;
    if (Lut3d::readCubeFile(path, n, cube)) {
        FUZZ_CHECK(n > 0 && n <= Lut3d::kMaxSize);
        FUZZ_CHECK(qint64(cube.total()) == qint64(n) * n * n && cube.type() == CV_32FC3);
    } else {
        FUZZ_CHECK(n == -1 && cube.empty());
    }
    return 0;
}
