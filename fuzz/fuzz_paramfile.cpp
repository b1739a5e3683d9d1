// The parameter-file parser over arbitrary content: it either refuses the file
// or returns at most 256 values that survive a save and a second open.

#include "config/ParamFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    const gencfg::ParamFileValues parsed = gencfg::ParseParamFile(content, QStringLiteral("fuzz.txt"));
    if (!parsed.ok) {
        if (parsed.error.isEmpty() || !parsed.values.isEmpty())
            std::abort();
        return 0;
    }
    if (parsed.values.size() > 256)
        std::abort();
    gencfg::ConfigImageBytes image;
    image.fill(0xFF);
    gencfg::ApplyParamValues(parsed.values, image);
    const gencfg::ParamFileValues again =
        gencfg::ParseParamFile(gencfg::FormatParamFile(image), QStringLiteral("fuzz.txt"));
    if (!again.ok || again.values.size() != 256)
        std::abort();
    for (int i = 0; i < 256; ++i)
        if (again.values.at(i) != image[size_t(i)])
            std::abort();
    return 0;
}
