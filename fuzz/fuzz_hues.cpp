// Reads any bytes as HUES.MUL and asks for every name and colour it holds.
#include "clientfiles/ColorFrom555.h"
#include "clientfiles/HueFile.h"

// Keeps the reads from being optimised away.
volatile std::uint32_t g_sink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CHueFile hues;
    hues.Assign(data, size);
    std::uint32_t sum = 0;
    for (int hue = -1; hue <= hues.Count(); ++hue) {
        sum += std::uint32_t(hues.Name(hue).size());
        for (int j = -1; j <= CHueFile::ColoursPerHue; ++j)
            sum += ColorFrom555(hues.Colour(hue, j));
    }
    g_sink = sum;
    return 0;
}
