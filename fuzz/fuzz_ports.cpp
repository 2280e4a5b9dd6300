// ports.cfg's content through the port map's reader.
#include "config/portmap.h"

#include <QDir>
#include <QSet>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QStringList warnings;
    QSet<int> numbers;
    for (const PortMap::Entry &e :
         PortMap::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &warnings)) {
        if (e.number < 1 || !QDir::isAbsolutePath(e.path) || numbers.contains(e.number))
            std::abort();
        numbers.insert(e.number);
    }
    return 0;
}
