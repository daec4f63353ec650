// One libFuzzer target: KESTROVA_FUZZ_ENTRY names the entry (fuzzentries.h) it runs. The corpus
// replay test links the same file with fuzzreplay.cpp instead of the fuzzer runtime.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzzentries.h"

// One empty input before fuzzing starts, so that one-time set-up (the application, fonts) is not
// taken for a leak of the first input.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const uint8_t nothing = 0;
    KESTROVA_FUZZ_ENTRY(&nothing, 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return KESTROVA_FUZZ_ENTRY(data, size);
}
