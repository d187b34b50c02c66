#ifndef COGNEXA_DATA_MEGA_FILE_SLOT_STRUCT_H
#define COGNEXA_DATA_MEGA_FILE_SLOT_STRUCT_H

#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaArchiveClass.h>

#include <memory>
#include <string>

// One loaded archive of the file manager.
struct MegaFileSlotStruct {
    std::string Path;
    int Id = -1;
    MegaArchiveClass Archive;
    bool Hidden = false;
};

// One member opened through the file manager; the handle names it. An archive held in
// memory keeps one position per member, so each open keeps its own here and restores it
// before every read or seek: a file opened twice, or by two threads, reads from its start.
struct OpenSubFileStruct {
    std::string Name;
    std::unique_ptr<FileStreamClass> Stream;
    MegaFileSlotStruct* Slot = nullptr;
    int Index = -1;
    int Memory_Position = 0;
};

#endif
