#ifndef COGNEXA_PLATFORM_POSIX_FILE_TIME_H
#define COGNEXA_PLATFORM_POSIX_FILE_TIME_H

#include <cstdint>
#include <ctime>

namespace PosixFileTime {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t Windows_To_Unix_Epoch_Seconds = 11644473600ULL;
constexpr std::uint64_t Ticks_Per_Second = 10000000ULL;

// A file time as 100 ns ticks since 1601-01-01 UTC; 0 for a time before then.
inline std::uint64_t Ticks_Since_1601(const struct timespec& stamp)
{
    if (stamp.tv_sec < -static_cast<std::int64_t>(Windows_To_Unix_Epoch_Seconds)) return 0;
    const std::uint64_t seconds = static_cast<std::uint64_t>(stamp.tv_sec + Windows_To_Unix_Epoch_Seconds);
    return seconds * Ticks_Per_Second + static_cast<std::uint64_t>(stamp.tv_nsec) / 100;
}

}  // namespace PosixFileTime

#endif
