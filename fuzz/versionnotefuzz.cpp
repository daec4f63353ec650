#include <cstring>

#include "components/productversion.h"
#include "fuzz/fuzzentries.h"

using namespace kestrova::components;

int FuzzVersionNote(const uint8_t *data, size_t size)
{
    const TByteReader read = [data, size](std::uint64_t offset, std::size_t n, void *dst) {
        if (offset > size || n > size - offset)
            return false;
        std::memcpy(dst, data + offset, n);
        return true;
    };
    if (const auto info = ParseElfVersionNote(size, read))
        (void)FormatVersion(info->product);
    return 0;
}
