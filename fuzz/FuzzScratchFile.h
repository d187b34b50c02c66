#ifndef COGNEXA_FUZZ_FUZZ_SCRATCH_FILE_H
#define COGNEXA_FUZZ_FUZZ_SCRATCH_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>

// One file per fuzzing process in a private directory, rewritten with each input: the readers
// under test take file names, not memory.
namespace FuzzScratchFile {

// The private directory (created on first use, removed at exit).
const std::string& Directory();

// Writes the bytes to name inside the directory and returns the file's absolute path.
std::string Write(const std::string& name, const std::uint8_t* data, std::size_t size);

}  // namespace FuzzScratchFile

#endif
