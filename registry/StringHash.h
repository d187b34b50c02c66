#ifndef COGNEXA_STRING_HASH_H
#define COGNEXA_STRING_HASH_H

#include <cstddef>
#include <cstdint>
#include <string>

// The library's string hash: at most 15 sampled bytes, so its cost does not grow with the
// length of a name. Bytes are taken as signed, as the game's tables were built that way.
uint32_t Hash_String(const std::string& text);

struct StringHashFunctor {
    std::size_t operator()(const std::string& text) const { return Hash_String(text); }
};

#endif
