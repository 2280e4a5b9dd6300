// Arbitrary jobs and addresses through the frame builder. Where the address is a
// terminal number and the lines fit, the independent decoder must read back exactly
// what was meant.
#include "link/frames.h"
#include "monitor/decoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t addressLength = std::min<size_t>(data[0] % 4, size - 1);
    const QByteArray address(reinterpret_cast<const char *>(data + 1), qsizetype(addressLength));
    const QByteArray job(reinterpret_cast<const char *>(data + 1 + addressLength), qsizetype(size - 1 - addressLength));

    QByteArray wire;
    const QList<QByteArray> writes = frames::textMessage(job, address);
    if (writes.size() != 6)
        std::abort();
    for (const QByteArray &w : writes)
        wire += w;
    const QByteArray command = frames::commandFrame(address + job);

    bool numeric = !address.isEmpty();
    for (char c : address)
        numeric = numeric && c >= '0' && c <= '9';
    if (!numeric)
        return 0;

    // The lines the job means: up to four, each at most 20 characters.
    QByteArray rest = frames::withoutLeadIn(job);
    QByteArrayList meant;
    for (int i = 0; i < 4; ++i) {
        const qsizetype stx = rest.indexOf('\x02');
        const QByteArray line = stx < 0 ? QByteArray() : rest.left(stx);
        if (line.size() > 20)
            return 0;
        meant.append(frames::CenterLine(line.isEmpty() ? QByteArray(20, ' ') : line));
        if (stx >= 0)
            rest.remove(0, stx + 1);
    }
    monitor::Decoder decoder;
    const QList<monitor::Event> events = decoder.feed(wire);
    if (events.size() != 1 || events.first().kind != monitor::Event::Text || events.first().address != address ||
        events.first().lines != meant)
        std::abort();
    (void)command;
    return 0;
}
