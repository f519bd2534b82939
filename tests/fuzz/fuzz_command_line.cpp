// The command line of the GUI and of kestrane-cli, any arguments: either understood
// or refused with an error text, never both, and the vendor id always a USB one.
#include "command_line_options.h"
#include "fuzz_environment.h"
#include "fuzz_target.h"

#include <QStringList>

KESTRANE_FUZZ_TARGET(command_line)
{
    FuzzEnvironment::ensure();
    // Arguments are separated by zero bytes; the first names the program.
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QStringList arguments;
    for (const QByteArray &part : bytes.split('\0'))
        arguments << QString::fromUtf8(part);
    for (const QString &syntax : {QString(), QStringLiteral("list | get INDEX | set INDEX KEY VALUE")}) {
        const CommandLineOptions options = CommandLineOptions::parse(arguments, syntax);
        if (!options.error.isEmpty())
            continue;
        FUZZ_CHECK(options.vendorId != 0);
        if (options.simulate)
            FUZZ_CHECK(!options.simulatedModels.isEmpty());
        // The GUI leaves every argument that is not its own to Qt; its own are never among them.
        if (syntax.isEmpty())
            for (const char *own : {"-h", "--help", "-v", "--version", "--simulate", "-simulate"})
                FUZZ_CHECK(!options.positional.contains(QLatin1String(own)));
    }
    return 0;
}
