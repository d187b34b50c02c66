#include "registry/StringHash.h"

uint32_t Hash_String(const std::string& text)
{
    uint32_t hash = 0xDEADBEEFu;
    const std::size_t length = text.size();
    if (length == 0) {
        return hash;
    }
    const std::size_t step = length / 16 + 1;
    for (std::size_t index = 0; index + step <= length; index += step) {
        hash += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(text[index])));
    }
    return hash;
}
