// An arbitrary configuration image decoded into each catalogue and encoded
// again: decoding never fails, and an image the tree can code decodes back to
// the same texts.

#include "config/ConfigImage.h"
#include "config/ParamModel.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 257)
        return 0;
    gencfg::ConfigImageBytes image;
    std::copy(data, data + 256, image.begin());
    const gencfg::DeviceVariant variants[] = {gencfg::DeviceVariant::Petrol, gencfg::DeviceVariant::Diesel,
                                              gencfg::DeviceVariant::DryContact};
    const gencfg::DeviceVariant variant = variants[data[256] % 3];

    gencfg::ParamModel tree;
    gencfg::LoadParamTree(gencfg::CatalogueFor(variant), gencfg::HighestIndexFor(variant), tree);
    gencfg::DecodeConfigImage(image, tree);
    (void)gencfg::ThresholdsFromImage(image);

    gencfg::ConfigImageBytes encoded;
    const gencfg::EncodeResult result = gencfg::EncodeConfigImage(tree, encoded);
    if (!result.ok) {
        if (result.error.isEmpty() || result.failedNode < 0 || result.failedNode >= tree.nodeCount())
            std::abort();
        return 0;
    }
    gencfg::ParamModel again;
    gencfg::LoadParamTree(gencfg::CatalogueFor(variant), gencfg::HighestIndexFor(variant), again);
    gencfg::DecodeConfigImage(encoded, again);
    for (int node = 0; node < tree.nodeCount(); ++node) {
        // Read-only rows are never coded, so they come back from the 0xFF fill.
        if (tree.row(node).kind == gencfg::ParamKind::ReadOnly)
            continue;
        if (tree.row(node).value != again.row(node).value)
            std::abort();
    }
    return 0;
}
