#include "tools/FileBytes.h"

#include <cognexa/FileStreamClass.h>

bool Read_File_Bytes(const std::string& path, std::string& bytes)
{
    FileStreamClass file;
    if (!file.Open(path, FileStreamClass::ACCESS_READ, false)) {
        return false;
    }
    const int size = file.Size();
    if (size < 0) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(size), '\0');
    return size == 0 || file.Read(&bytes[0], size) == size;
}
