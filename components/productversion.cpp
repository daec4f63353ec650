#include "components/productversion.h"

#include <cstring>

namespace kestrova::components {

namespace {

constexpr std::uint32_t kShtNobits = 8;
constexpr std::uint16_t kShnXindex = 0xffff;
constexpr std::uint64_t kMaxSections = 1u << 16;
constexpr std::size_t kMaxNameLength = 64;
// Offsets and sizes above this are refused, so that sums of them cannot wrap around.
constexpr std::uint64_t kMaxOffset = std::uint64_t{1} << 62;

struct TSection {
    std::uint32_t name = 0;
    std::uint32_t type = 0;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint32_t link = 0;
    std::uint64_t align = 0;
};

// Reads fields of one ELF image in its class and byte order, refusing anything past its end.
class TElfImage {
public:
    TElfImage(std::uint64_t size, const TByteReader &read) : FSize(size), FRead(read) {}

    bool Identify()
    {
        unsigned char ident[16];
        if (!Bytes(0, sizeof ident, ident) || std::memcmp(ident,
                                                          "\x7f"
                                                          "ELF",
                                                          4) != 0) {
            return false;
        }
        if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2)) {
            return false;
        }
        F64 = ident[4] == 2;
        FBig = ident[5] == 2;
        return true;
    }

    bool Is64() const { return F64; }

    bool Bytes(std::uint64_t offset, std::uint64_t n, void *dst) const
    {
        if (offset > FSize || n > FSize - offset) {
            return false;
        }
        return FRead(offset, static_cast<std::size_t>(n), dst);
    }

    template <typename T>
    bool Unsigned(std::uint64_t offset, T &value) const
    {
        unsigned char raw[sizeof(T)];
        if (!Bytes(offset, sizeof raw, raw)) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < sizeof raw; ++i) {
            const std::size_t at = FBig ? i : sizeof raw - 1 - i;
            value = static_cast<T>((value << 8) | raw[at]);
        }
        return true;
    }

    // An address-sized field: 32 bits in ELF32, 64 bits in ELF64.
    bool Word(std::uint64_t offset, std::uint64_t &value) const
    {
        if (F64) {
            return Unsigned(offset, value);
        }
        std::uint32_t narrow = 0;
        const bool ok = Unsigned(offset, narrow);
        value = narrow;
        return ok;
    }

private:
    std::uint64_t FSize;
    const TByteReader &FRead;
    bool F64 = false;
    bool FBig = false;
};

struct TSectionTable {
    std::uint64_t offset = 0;
    std::uint64_t entrySize = 0;
    std::uint64_t count = 0;
    std::uint32_t namesIndex = 0;
};

bool ReadSection(const TElfImage &elf, const TSectionTable &table, std::uint64_t index,
                 TSection &section)
{
    if (index >= table.count) {
        return false;
    }
    const std::uint64_t at = table.offset + index * table.entrySize;
    if (elf.Is64()) {
        return elf.Unsigned(at, section.name) && elf.Unsigned(at + 4, section.type) &&
               elf.Unsigned(at + 24, section.offset) && elf.Unsigned(at + 32, section.size) &&
               elf.Unsigned(at + 40, section.link) && elf.Unsigned(at + 48, section.align);
    }
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
    std::uint32_t align = 0;
    const bool ok = elf.Unsigned(at, section.name) && elf.Unsigned(at + 4, section.type) &&
                    elf.Unsigned(at + 16, offset) && elf.Unsigned(at + 20, size) &&
                    elf.Unsigned(at + 24, section.link) && elf.Unsigned(at + 32, align);
    section.offset = offset;
    section.size = size;
    section.align = align;
    return ok;
}

// The section header table, with the extended numbering used when there are 0xff00 sections or
// more (count and names index then live in section 0).
bool ReadSectionTable(const TElfImage &elf, TSectionTable &table)
{
    const std::uint64_t base = elf.Is64() ? 40 : 32;
    std::uint16_t entrySize = 0;
    std::uint16_t count = 0;
    std::uint16_t namesIndex = 0;
    // After e_shoff: e_flags, e_ehsize, e_phentsize, e_phnum, then the three fields wanted.
    const std::uint64_t after = base + (elf.Is64() ? 8 : 4) + 10;
    if (!elf.Word(base, table.offset) || !elf.Unsigned(after, entrySize) ||
        !elf.Unsigned(after + 2, count) || !elf.Unsigned(after + 4, namesIndex)) {
        return false;
    }
    table.entrySize = entrySize;
    if (table.offset == 0 || table.offset > kMaxOffset || entrySize < (elf.Is64() ? 64u : 40u)) {
        return false;
    }
    table.count = count;
    table.namesIndex = namesIndex;
    if (count == 0 || namesIndex == kShnXindex) {
        TSection first;
        table.count = 1;
        if (!ReadSection(elf, table, 0, first)) {
            return false;
        }
        table.count = count == 0 ? first.size : count;
        table.namesIndex = namesIndex == kShnXindex ? first.link : namesIndex;
    }
    // The whole table must be in the file: a truncated file gives no version even when the
    // note itself survived.
    unsigned char last = 0;
    return table.count > 0 && table.count <= kMaxSections &&
           elf.Bytes(table.offset + table.count * table.entrySize - 1, 1, &last);
}

bool NameIs(const TElfImage &elf, const TSection &names, std::uint32_t offset, const char *wanted)
{
    const std::size_t length = std::strlen(wanted) + 1;
    if (offset >= names.size || length > names.size - offset || length > kMaxNameLength) {
        return false;
    }
    char buffer[kMaxNameLength];
    return elf.Bytes(names.offset + offset, length, buffer) &&
           std::memcmp(buffer, wanted, length) == 0;
}

std::uint64_t Padded(std::uint64_t n, std::uint64_t align)
{
    return (n + align - 1) / align * align;
}

std::optional<TVersionInfo> ReadNote(const TElfImage &elf, const TSection &section)
{
    if (section.offset > kMaxOffset || section.size > kMaxOffset) {
        return std::nullopt;
    }
    const std::uint64_t align = section.align == 8 ? 8 : 4;
    const std::uint64_t ownerSize = sizeof kVersionNoteOwner;
    std::uint64_t pos = 0;
    while (pos + 12 <= section.size) {
        std::uint32_t nameSize = 0;
        std::uint32_t descSize = 0;
        std::uint32_t type = 0;
        const std::uint64_t at = section.offset + pos;
        if (!elf.Unsigned(at, nameSize) || !elf.Unsigned(at + 4, descSize) ||
            !elf.Unsigned(at + 8, type)) {
            return std::nullopt;
        }
        const std::uint64_t desc = pos + 12 + Padded(nameSize, align);
        const std::uint64_t next = desc + Padded(descSize, align);
        if (next > section.size) {
            return std::nullopt;
        }
        char owner[sizeof kVersionNoteOwner];
        if (nameSize == ownerSize && type == kVersionNoteType && descSize >= 16 &&
            elf.Bytes(at + 12, ownerSize, owner) &&
            std::memcmp(owner, kVersionNoteOwner, ownerSize) == 0) {
            TVersionInfo info;
            for (std::size_t i = 0; i < 4; ++i) {
                if (!elf.Unsigned(section.offset + desc + 2 * i, info.product[i]) ||
                    !elf.Unsigned(section.offset + desc + 8 + 2 * i, info.file[i])) {
                    return std::nullopt;
                }
            }
            return info;
        }
        pos = next;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TVersionInfo> ParseElfVersionNote(std::uint64_t size, const TByteReader &read)
{
    TElfImage elf(size, read);
    TSectionTable table;
    TSection names;
    if (!elf.Identify() || !ReadSectionTable(elf, table) ||
        !ReadSection(elf, table, table.namesIndex, names) || names.type == kShtNobits ||
        names.offset > kMaxOffset || names.size > kMaxOffset) {
        return std::nullopt;
    }
    for (std::uint64_t index = 1; index < table.count; ++index) {
        TSection section;
        if (!ReadSection(elf, table, index, section)) {
            return std::nullopt;
        }
        if (section.type != kShtNobits && NameIs(elf, names, section.name, kVersionSectionName)) {
            return ReadNote(elf, section);
        }
    }
    return std::nullopt;
}

std::optional<std::string> ReadProductVersion(const std::string &path)
{
    const std::optional<TVersionInfo> info = ReadVersionInfo(path);
    if (!info) {
        return std::nullopt;
    }
    return FormatVersion(info->product);
}

std::string FormatVersion(const TVersionNumbers &numbers)
{
    std::string text;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        if (i > 0) {
            text += '.';
        }
        text += std::to_string(numbers[i]);
    }
    return text;
}

}  // namespace kestrova::components
