#include "data/Crc32.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> Make_Crc_Table()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> Crc_Table = Make_Crc_Table();

}  // namespace

std::uint32_t Crc32(const void* bytes, std::size_t count)
{
    const unsigned char* cursor = static_cast<const unsigned char*>(bytes);
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < count; ++i) crc = Crc_Table[(crc ^ cursor[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}
