#include <fstream>

#include "components/productversion.h"

namespace kestrova::components {

std::optional<TVersionInfo> ReadVersionInfo(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size <= 0) {
        return std::nullopt;
    }
    const TByteReader read = [&file](std::uint64_t offset, std::size_t n, void *dst) {
        file.clear();
        file.seekg(static_cast<std::streamoff>(offset));
        file.read(static_cast<char *>(dst), static_cast<std::streamsize>(n));
        return file.gcount() == static_cast<std::streamsize>(n);
    };
    return ParseElfVersionNote(static_cast<std::uint64_t>(size), read);
}

std::string RunningExecutablePath()
{
    // Opens the running image even when its file was renamed or replaced since start.
    return "/proc/self/exe";
}

}  // namespace kestrova::components
