#include "platform/memory/MemorySearchClass.h"

#include "platform/memory/MemoryLibraryPlatformClass.h"

bool MemorySearchClass::Next(WIN32_FIND_DATAA* data)
{
    if (data == nullptr || Next_Name >= Names.size()) return false;
    Platform.Describe_Entry(Directory, Names[Next_Name++], data);
    return true;
}
