// Any control_api.ini: the token is read from its line as written, never across a
// line end, and a file that names it once gives it back as written there.
#include "control_api_settings.h"
#include "fuzz_input.h"
#include "fuzz_target.h"

KESTRANE_FUZZ_TARGET(token_line)
{
    const QByteArray ini(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> token = ControlApiSettings::tokenAsWritten(ini);
    if (token)
        FUZZ_CHECK(!token->contains(QLatin1Char('\n')) && token->toUtf8().size() <= ini.size() * 3);
    // A plain token put on a line of its own comes back unchanged.
    QByteArray plain = ini.left(40);
    plain.replace('\n', ' ').replace('\r', ' ').replace('"', ' ');
    plain = plain.trimmed();
    if (!plain.isEmpty()) {
        const std::optional<QString> again = ControlApiSettings::tokenAsWritten("[ControlApi]\nToken=" + plain + "\n");
        FUZZ_CHECK(again && *again == QString::fromUtf8(plain));
    }
    return 0;
}
