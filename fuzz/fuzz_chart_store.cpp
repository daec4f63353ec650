#include <cstddef>
#include <cstdint>

#include "fuzz/chartstorefuzz.h"

// One run before fuzzing starts, so that the one-time set-up of fonts and the application is not
// taken for a leak of the first input.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const uint8_t line[] = {2, 0, 0, 0x20, 0x41, 0, 0, 0x20, 0x41};
    FuzzChartStore(line, sizeof line);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzChartStore(data, size);
}
