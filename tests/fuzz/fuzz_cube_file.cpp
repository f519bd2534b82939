// .cube loading on any file: a file that cannot be read keeps the cube that was
// loaded before; one that loads gives a cube of a size the format allows.
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

    Lut3d lut;
    if (lut.loadLUT(path)) {
        FUZZ_CHECK(lut.lutSize() > 0 && lut.lutSize() <= Lut3d::kMaxSize);
        FUZZ_CHECK(lut.hasTable());
    } else {
        FUZZ_CHECK(lut.lutSize() == 0 && !lut.hasTable());
    }
    return 0;
}
