// Arbitrary line bytes through the monitor's decoder and terminal model, in chunks.
#include "monitor/decoder.h"
#include "monitor/terminals.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    monitor::Decoder decoder;
    monitor::TerminalBank bank;
    const QDateTime now(QDate(2026, 12, 7), QTime(10, 0));
    size_t at = 0;
    qint64 seen = 0;
    while (at < size) {
        const size_t chunk = 1 + data[at] % 37;
        const size_t n = std::min(chunk, size - at);
        for (const monitor::Event &e :
             decoder.feed(QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(n)))) {
            if (e.kind == monitor::Event::Text && e.lines.size() != 4)
                std::abort();
            bank.apply(e, now);
            if (e.kind != monitor::Event::Bad && bank.panel(e.address, now).size() != 5)
                std::abort();
        }
        at += n;
        seen += qint64(n);
    }
    if (decoder.bytesSeen() != seen)
        std::abort();
    return 0;
}
