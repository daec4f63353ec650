#pragma once

// The product and file version an executable carries, free of Qt. On Linux the build writes them
// into an ELF note (section ".note.kestrova.version", see cmake/ProductVersion.cmake) and
// ReadVersionInfo parses the file's section headers to find it; on Windows they come from the
// VERSIONINFO resource through the version API.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kestrova_components_export.h"

namespace kestrova::components {

using TVersionNumbers = std::array<std::uint16_t, 4>;

struct TVersionInfo {
    TVersionNumbers product{};
    TVersionNumbers file{};
};

// The note's layout: owner name "Kestrova", type 1, descriptor of eight 16-bit numbers in the
// file's byte order (product a.b.c.d, then file a.b.c.d).
inline constexpr char kVersionSectionName[] = ".note.kestrova.version";
inline constexpr char kVersionNoteOwner[] = "Kestrova";
inline constexpr std::uint32_t kVersionNoteType = 1;

// Fills n bytes at offset into dst; false when they are not all there.
using TByteReader = std::function<bool(std::uint64_t offset, std::size_t n, void *dst)>;

// Finds the version note in an ELF image of the given size (32 or 64 bit, either byte order).
// Every offset and count is checked against the image: a truncated or malformed image gives no
// version.
KESTROVA_COMPONENTS_EXPORT std::optional<TVersionInfo> ParseElfVersionNote(std::uint64_t size,
                                                                           const TByteReader &read);

// The versions carried by the executable file at path (UTF-8); none on any failure.
KESTROVA_COMPONENTS_EXPORT std::optional<TVersionInfo> ReadVersionInfo(const std::string &path);

// The product version of the file at path as "a.b.c.d"; none on any failure.
KESTROVA_COMPONENTS_EXPORT std::optional<std::string> ReadProductVersion(const std::string &path);

// The path that opens the running executable's file.
KESTROVA_COMPONENTS_EXPORT std::string RunningExecutablePath();

// The four numbers joined by "." in decimal, without padding.
KESTROVA_COMPONENTS_EXPORT std::string FormatVersion(const TVersionNumbers &numbers);

}  // namespace kestrova::components
