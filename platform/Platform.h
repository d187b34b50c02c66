#ifndef COGNEXA_PLATFORM_H
#define COGNEXA_PLATFORM_H

// What the library needs from an operating system. One implementation per OS lives beside
// this header (posix/ today); subsystem code calls nothing else of the OS.

#include <cognexa/FindData.h>

#include <cstdint>

namespace Platform {

// A modal notice without owner window (caption and text). Returns when the notice has been
// shown: on this platform, when the host's notice handler returns.
void Show_Notice(const char* caption, const char* text);

// Files. Names take a backslash or "/" as separators; a name that does not exist as written is
// resolved one component at a time against directory entries, ignoring ASCII case, because game
// data is written for a case-insensitive file system.
typedef std::intptr_t FileHandle;
constexpr FileHandle Invalid_File_Handle = -1;

// An existing file, for reading; Invalid_File_Handle when it cannot be opened.
FileHandle Open_File_For_Reading(const char* name);
// A file for writing, created or truncated.
FileHandle Create_File_For_Writing(const char* name);
// Bytes transferred (short only at the end of the file), or -1.
int Read_File(FileHandle file, void* buffer, int count);
int Write_File(FileHandle file, const void* buffer, int count);
// origin 0 begin, 1 current, 2 end; the new position, or -1.
int Seek_File(FileHandle file, int offset, int origin);
// Size in bytes, or -1 (also for a file of 2 GiB or more).
int Get_File_Size(FileHandle file);
// Last-write time as 100 ns ticks since 1601-01-01 UTC, or 0.
std::uint64_t Get_File_Time(FileHandle file);
bool Close_File(FileHandle file);

// Directory search: the last component of the path is a wildcard ("*", "?", ASCII case
// ignored); "." and ".." are reported when it matches them. Entries come sorted by name
// (bytewise), so an enumeration is the same on every run. Names longer than MAX_PATH - 1 bytes
// cannot be reported and are left out.
typedef struct FindSearchStruct* FindHandle;

// The first match written to data, or null when nothing matches.
FindHandle Find_First_File(const char* path, WIN32_FIND_DATAA* data);
bool Find_Next_File(FindHandle search, WIN32_FIND_DATAA* data);
bool Find_Close(FindHandle search);

}  // namespace Platform

#endif
