#ifndef COGNEXA_DATA_CRC32_H
#define COGNEXA_DATA_CRC32_H

#include <cstddef>
#include <cstdint>
#include <string>

// The CRC-32 of zlib and ISO-HDLC (reflected polynomial 0xEDB88320, initial value and final
// complement all ones), one table step a byte.
std::uint32_t Crc32(const void* bytes, std::size_t count);

inline std::uint32_t Crc32(const std::string& text)
{
    return Crc32(text.data(), text.size());
}

#endif
