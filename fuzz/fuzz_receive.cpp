// The receive path fed an arbitrary byte stream in arbitrary chunks: frames,
// noise, split and merged frames. Nothing may crash, grow without bound or be
// counted that did not arrive.

#include "link/DeviceLink.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    gencfg::DeviceLink link;
    int carriageReturns = 0;
    size_t pos = 0;
    while (pos < size) {
        // The first byte of each chunk gives its length.
        const size_t length = std::min<size_t>(size - pos - 1, data[pos] % 97 + 1);
        const QByteArray chunk(reinterpret_cast<const char *>(data + pos + 1), int(length));
        carriageReturns += int(chunk.count('\r'));
        link.receive(chunk);
        pos += length + 1;
        if (link.rxText().size() > gencfg::DeviceLink::MaxPendingText + 100)
            std::abort();
        if (link.lineText().size() > gencfg::DeviceLink::MaxPendingText + 100)
            std::abort();
    }
    if (link.packetCount() + link.badFrameCount() > carriageReturns)
        std::abort();
    return 0;
}
