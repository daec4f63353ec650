#include <windows.h>
// winver.h comes with windows.h; the version API lives in version.dll.

#include <string>
#include <vector>

#include "components/productversion.h"

namespace kestrova::components {

namespace {

std::wstring Widened(const std::string &text)
{
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            length);
    }
    return wide;
}

TVersionNumbers Split(DWORD most, DWORD least)
{
    return {HIWORD(most), LOWORD(most), HIWORD(least), LOWORD(least)};
}

}  // namespace

std::optional<TVersionInfo> ReadVersionInfo(const std::string &path)
{
    const std::wstring file = Widened(path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    void *fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", &fixed, &length) || fixed == nullptr ||
        length < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto *record = static_cast<const VS_FIXEDFILEINFO *>(fixed);
    TVersionInfo info;
    info.product = Split(record->dwProductVersionMS, record->dwProductVersionLS);
    info.file = Split(record->dwFileVersionMS, record->dwFileVersionLS);
    return info;
}

std::string RunningExecutablePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            const int bytes = WideCharToMultiByte(
                CP_UTF8, 0, buffer.data(), static_cast<int>(length), nullptr, 0, nullptr, nullptr);
            std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
            if (bytes > 0) {
                WideCharToMultiByte(CP_UTF8, 0, buffer.data(), static_cast<int>(length),
                                    text.data(), bytes, nullptr, nullptr);
            }
            return text;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace kestrova::components
