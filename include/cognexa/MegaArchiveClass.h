#ifndef COGNEXA_MEGA_ARCHIVE_CLASS_H
#define COGNEXA_MEGA_ARCHIVE_CLASS_H

#include <cognexa/Export.h>
#include <cognexa/FileStreamClass.h>
#include <cognexa/GrowableArrayClass.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One entry of an archive's file table, as stored (20 bytes, little-endian).
struct MegaFileRecordStruct {
    std::uint32_t Name_CRC;
    std::uint32_t Index;
    std::uint32_t Size;
    std::uint32_t Start;
    std::uint16_t Name_Index;
    std::uint16_t Unused;
};

// One opened mega file: a file table sorted by the CRC of each member's normalised name, and
// the members' bytes, streamed from disk (mode 0) or held in memory (mode 1). The base file
// object is the archive file itself. Open checks the whole table against the file, so no later
// operation can reach outside the archive.
class COGNEXA_API MegaArchiveClass : public FileStreamClass {
public:
    enum { MODE_CLOSED = -1, MODE_STREAMED = 0, MODE_IN_MEMORY = 1 };
    static constexpr std::uint32_t Header_Fixed_Size = 8;
    static constexpr std::uint32_t Record_Size = 20;

    MegaArchiveClass();
    ~MegaArchiveClass() override;

    bool Open(const std::string& path, int mode);
    bool Open(const char* path, int mode);
    // Opens again by the path of the last Open.
    bool Open(int mode);
    // Closes the archive, including the base file; always true.
    bool Close() override;

    int Get_Mode() const { return Mode; }
    std::uint32_t Get_Record_Count() const { return Record_Count; }
    std::uint32_t Get_Header_Size() const { return Header_Size; }
    const std::string& Get_Archive_Name() const { return Archive_Name; }

    // The member's index, or -1. The name may use either slash, any letter case and a leading
    // ".\" or "\".
    int Find_Sub_File(const std::string& name);
    // A new file object on the archive file at the member's start (the caller owns it), or null.
    FileStreamClass* Open_Sub_File_Stream(int index);
    // Bytes read (clamped to the member's end), or -1. In memory mode the stream is ignored.
    int Read_Sub_File(int index, FileStreamClass* stream, void* buffer, int count);
    // The new position within the member (clamped to its size), or -1.
    int Seek_Sub_File(int index, FileStreamClass* stream, int offset, int origin);
    std::uint32_t Get_Sub_File_Size(int index) const;
    std::uint32_t Get_Sub_File_CRC(int index) const;
    void Get_Sub_File_Name(int index, std::string& name) const;
    // The whole member: a view into the image in memory mode, an owned buffer in streamed mode
    // (null for an empty member). Give it back with Release_Sub_File_Data.
    const void* Load_Sub_File_Data(int index);
    bool Release_Sub_File_Data(const void* data);

private:
    // The file object's Open reads no table: outside the class an archive opens only by its own
    // Open (through a FileStreamClass pointer, the base's Open opens the bare archive file).
    using FileStreamClass::Open;

    bool Is_Archive_Open() const;
    bool Is_Member(int index) const;
    bool Read_Table(int file_size);
    bool Table_Fits(std::uint32_t file_size) const;
    std::uint32_t Member_Position(int index, FileStreamClass* stream) const;
    // The place within the member of a stream standing at the archive offset at.
    std::uint32_t Position_In_Member(int index, int at) const;
    void Release_All();

    int Mode;
    std::string Archive_Name;
    std::vector<std::string> Names;
    std::uint32_t Record_Count;
    std::uint32_t Header_Size;
    std::unique_ptr<MegaFileRecordStruct[]> Records;
    std::unique_ptr<std::uint32_t[]> Positions;
    std::unique_ptr<unsigned char[]> Data;
    GrowableArrayClass<const void*> Handed_Out_Views;
    GrowableArrayClass<unsigned char*> Handed_Out_Buffers;
};

#endif
