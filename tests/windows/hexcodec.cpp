#include "hexcodec.h"

#include <cstdlib>

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

std::string Unhex(const std::string &text)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += static_cast<char>(std::strtol(text.substr(i, 2).c_str(), nullptr, 16));
    return bytes;
}
