#ifndef COGNEXA_TOOLS_FILE_BYTES_H
#define COGNEXA_TOOLS_FILE_BYTES_H

#include <string>

// The whole content of a file as the game would open it (loose first, then the mounted archives);
// false when it does not open or cannot be read whole.
bool Read_File_Bytes(const std::string& path, std::string& bytes);

#endif
