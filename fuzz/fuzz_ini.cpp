// ini.cfg's content through the settings reader.
#include "config/settings.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Settings s;
    s.exeDir = QStringLiteral("/opt/vantrel/");
    s.parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const QByteArray *v : {&s.cfgPort, &s.cfgServer, &s.cfgExt}) {
        if (v->contains('\n') || v->contains('\r') || v->contains('\x1a'))
            std::abort();
    }
    if (!s.cfgServer.isEmpty() && s.dataDir.isEmpty())
        std::abort();
    return 0;
}
