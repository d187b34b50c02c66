#include <cognexa/MegaArchiveClass.h>

#include "data/Crc32.h"
#include "data/NameHelpers.h"

#include <cstring>
#include <new>

namespace {

std::uint32_t Read_Le32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint16_t Read_Le16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

MegaFileRecordStruct Decode_Record(const unsigned char* bytes)
{
    MegaFileRecordStruct record;
    record.Name_CRC = Read_Le32(bytes);
    record.Index = Read_Le32(bytes + 4);
    record.Size = Read_Le32(bytes + 8);
    record.Start = Read_Le32(bytes + 12);
    record.Name_Index = Read_Le16(bytes + 16);
    record.Unused = Read_Le16(bytes + 18);
    return record;
}

}  // namespace

MegaArchiveClass::MegaArchiveClass() : Mode(MODE_CLOSED), Record_Count(0), Header_Size(0)
{
}

MegaArchiveClass::~MegaArchiveClass()
{
    Close();
}

bool MegaArchiveClass::Is_Archive_Open() const
{
    return Mode == MODE_IN_MEMORY || (Mode == MODE_STREAMED && FileStreamClass::Is_Open());
}

bool MegaArchiveClass::Is_Member(int index) const
{
    return Records != nullptr && index >= 0 && static_cast<std::uint32_t>(index) < Record_Count;
}

bool MegaArchiveClass::Open(const char* path, int mode)
{
    return path != nullptr && Open(std::string(path), mode);
}

bool MegaArchiveClass::Open(int mode)
{
    return Open(std::string(Archive_Name), mode);
}

bool MegaArchiveClass::Open(const std::string& path, int mode)
{
    // 1. A path, a known mode and an archive not yet open.
    if (path.empty() || (mode != MODE_STREAMED && mode != MODE_IN_MEMORY) || Is_Archive_Open()) return false;

    // 2. The archive file itself, loose file first.
    if (!FileStreamClass::Open(path, ACCESS_READ, false)) return false;

    // 3 to 6. Header, name table and file table, each checked against the file's size.
    const int file_size = FileStreamClass::Size();
    if (file_size < 0 || !Read_Table(file_size)) {
        Release_All();
        return false;
    }

    // 7. In memory mode the image after the header replaces the file.
    if (mode == MODE_IN_MEMORY) {
        const std::uint32_t image_size = static_cast<std::uint32_t>(file_size) - Header_Size;
        Data.reset(new (std::nothrow) unsigned char[image_size > 0 ? image_size : 1]);
        const bool loaded = Data != nullptr &&
                            FileStreamClass::Read(Data.get(), static_cast<int>(image_size)) ==
                                static_cast<int>(image_size);
        if (!loaded) {
            Release_All();
            return false;
        }
        FileStreamClass::Close();
    }

    // 8, 9. Every member starts at its first byte.
    Positions.reset(new (std::nothrow) std::uint32_t[Record_Count]());
    if (Positions == nullptr) {
        Release_All();
        return false;
    }
    Mode = mode;
    Archive_Name = path;
    return true;
}

bool MegaArchiveClass::Read_Table(int file_size)
{
    const std::uint32_t size = static_cast<std::uint32_t>(file_size);
    unsigned char word[4];

    // The record count: no record, or more records than the file can hold, fail before
    // anything is allocated from it.
    if (size < Header_Fixed_Size || FileStreamClass::Read(word, 4) != 4) return false;
    const std::uint32_t record_count = Read_Le32(word);
    if (record_count == 0 || record_count > (size - Header_Fixed_Size) / Record_Size) return false;
    const std::uint32_t names_room = size - Header_Fixed_Size - record_count * Record_Size;

    // The name table: every entry takes at least its 2-byte length.
    if (FileStreamClass::Read(word, 4) != 4) return false;
    const std::uint32_t name_count = Read_Le32(word);
    if (name_count > names_room / 2) return false;
    Names.resize(name_count);
    std::uint32_t names_size = 0;
    for (std::string& name : Names) {
        if (FileStreamClass::Read(word, 2) != 2) return false;
        const std::uint32_t length = Read_Le16(word);
        names_size += 2;
        if (length > names_room - names_size) return false;
        name.resize(length);
        if (length > 0 && FileStreamClass::Read(&name[0], static_cast<int>(length)) != static_cast<int>(length)) {
            return false;
        }
        names_size += length;
    }

    // The file table.
    const std::uint32_t table_size = record_count * Record_Size;
    std::unique_ptr<unsigned char[]> table(new (std::nothrow) unsigned char[table_size]);
    Records.reset(new (std::nothrow) MegaFileRecordStruct[record_count]);
    if (table == nullptr || Records == nullptr) return false;
    if (FileStreamClass::Read(table.get(), static_cast<int>(table_size)) != static_cast<int>(table_size)) {
        return false;
    }
    Record_Count = record_count;
    Header_Size = Header_Fixed_Size + names_size + table_size;
    for (std::uint32_t i = 0; i < record_count; ++i) Records[i] = Decode_Record(table.get() + i * Record_Size);
    return Table_Fits(size);
}

bool MegaArchiveClass::Table_Fits(std::uint32_t file_size) const
{
    // Every record addresses the table, the name table and the member data only: its bytes lie
    // between the end of the file table and the end of the file.
    for (std::uint32_t i = 0; i < Record_Count; ++i) {
        const MegaFileRecordStruct& record = Records[i];
        if (record.Index >= Record_Count || record.Name_Index >= Names.size()) return false;
        if (record.Start < Header_Size || record.Start > file_size) return false;
        if (record.Size > file_size - record.Start) return false;
    }
    return true;
}

void MegaArchiveClass::Release_All()
{
    FileStreamClass::Close();
    Data.reset();
    Records.reset();
    Positions.reset();
    Names.clear();
    Mode = MODE_CLOSED;
    Header_Size = 0;
    Record_Count = 0;
    for (int i = 0; i < Handed_Out_Buffers.Count(); ++i) delete[] Handed_Out_Buffers[i];
    Handed_Out_Buffers.Clear();
    Handed_Out_Views.Clear();
}

bool MegaArchiveClass::Close()
{
    Release_All();
    return true;
}

int MegaArchiveClass::Find_Sub_File(const std::string& name)
{
    // 1. A name and an open archive.
    if (name.empty() || !Is_Archive_Open() || Records == nullptr) return -1;

    // 2 to 4. The CRC of the stored form of the name.
    const std::uint32_t crc = Crc32(Normalize_Member_Name(name));

    // 5. Binary search of the table sorted by CRC.
    std::uint32_t low = 0;
    std::uint32_t high = Record_Count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const std::uint32_t found = Records[middle].Name_CRC;
        if (found == crc) return static_cast<int>(Records[middle].Index);
        if (found < crc) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return -1;
}

FileStreamClass* MegaArchiveClass::Open_Sub_File_Stream(int index)
{
    if (!Is_Member(index)) return nullptr;
    FileStreamClass* stream = new (std::nothrow) FileStreamClass(Archive_Name);
    if (stream == nullptr) return nullptr;
    if (!stream->Open(Archive_Name, ACCESS_READ, false) ||
        stream->Seek(static_cast<int>(Records[index].Start), SEEK_FROM_BEGIN) < 0) {
        delete stream;
        return nullptr;
    }
    return stream;
}

std::uint32_t MegaArchiveClass::Member_Position(int index, FileStreamClass* stream) const
{
    if (stream == nullptr) return Positions[index];
    return Position_In_Member(index, stream->Tell());
}

std::uint32_t MegaArchiveClass::Position_In_Member(int index, int at) const
{
    const std::uint32_t start = Records[index].Start;
    if (at < 0 || static_cast<std::uint32_t>(at) < start) return 0;
    const std::uint32_t position = static_cast<std::uint32_t>(at) - start;
    return position < Records[index].Size ? position : Records[index].Size;
}

int MegaArchiveClass::Read_Sub_File(int index, FileStreamClass* stream, void* buffer, int count)
{
    // 1, 2. A member of an open archive; in memory the stream plays no part.
    if (!Is_Member(index) || !Is_Archive_Open() || buffer == nullptr || count < 0) return -1;
    if (Mode == MODE_IN_MEMORY) stream = nullptr;
    const MegaFileRecordStruct& record = Records[index];

    // 3. Where the member stands; a stream that stands before the member is moved to it. The
    //    stream is asked for its place once: each question is a system call.
    std::uint32_t position = Positions[index];
    if (stream != nullptr) {
        int at = stream->Tell();
        if (at < 0) return -1;
        if (static_cast<std::uint32_t>(at) < record.Start) {
            at = stream->Seek(static_cast<int>(record.Start), SEEK_FROM_BEGIN);
            if (at < 0) return -1;
        }
        position = Position_In_Member(index, at);
    }

    // 4. Never past the member's end.
    std::uint32_t wanted = static_cast<std::uint32_t>(count);
    if (wanted > record.Size - position) wanted = record.Size - position;
    if (wanted == 0) return 0;

    // 5. From the image.
    if (Mode == MODE_IN_MEMORY) {
        std::memcpy(buffer, Data.get() + (record.Start - Header_Size) + position, wanted);
        Positions[index] += wanted;
        return static_cast<int>(wanted);
    }
    // 6. Through the member's own stream, which keeps its position.
    if (stream != nullptr) return stream->Read(buffer, static_cast<int>(wanted));

    // 7. Through the archive file, at the member's kept position.
    if (FileStreamClass::Seek(static_cast<int>(record.Start + position), SEEK_FROM_BEGIN) < 0) return -1;
    const int got = FileStreamClass::Read(buffer, static_cast<int>(wanted));
    if (got > 0) Positions[index] += static_cast<std::uint32_t>(got);
    return got;
}

int MegaArchiveClass::Seek_Sub_File(int index, FileStreamClass* stream, int offset, int origin)
{
    if (!Is_Member(index) || !Is_Archive_Open()) return -1;
    if (Mode == MODE_IN_MEMORY) stream = nullptr;
    const MegaFileRecordStruct& record = Records[index];
    // A seek from the beginning needs no current position (and no system call to learn it).
    const std::uint32_t position = origin == SEEK_FROM_BEGIN ? 0 : Member_Position(index, stream);

    std::uint32_t target = position;
    if (origin == SEEK_FROM_BEGIN) target = static_cast<std::uint32_t>(offset);
    if (origin == SEEK_FROM_CURRENT) target = position + static_cast<std::uint32_t>(offset);
    if (origin == SEEK_FROM_END) target = record.Size + static_cast<std::uint32_t>(offset);
    // Unsigned, so a negative target also lands at the end.
    if (target > record.Size) target = record.Size;

    if (stream != nullptr) {
        if (stream->Seek(static_cast<int>(record.Start + target), SEEK_FROM_BEGIN) < 0) return -1;
    } else {
        Positions[index] = target;
    }
    return static_cast<int>(target);
}

std::uint32_t MegaArchiveClass::Get_Sub_File_Size(int index) const
{
    return Is_Member(index) ? Records[index].Size : 0;
}

std::uint32_t MegaArchiveClass::Get_Sub_File_CRC(int index) const
{
    return Is_Member(index) ? Records[index].Name_CRC : 0;
}

void MegaArchiveClass::Get_Sub_File_Name(int index, std::string& name) const
{
    name.clear();
    if (Is_Member(index)) name = Names[Records[index].Name_Index];
}

const void* MegaArchiveClass::Load_Sub_File_Data(int index)
{
    if (!Is_Member(index) || !Is_Archive_Open()) return nullptr;
    const MegaFileRecordStruct& record = Records[index];

    if (Mode == MODE_IN_MEMORY) {
        const void* view = Data.get() + (record.Start - Header_Size);
        if (!Handed_Out_Views.Append(view)) return nullptr;
        return view;
    }
    if (record.Size == 0) return nullptr;

    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[record.Size]);
    std::unique_ptr<FileStreamClass> stream(Open_Sub_File_Stream(index));
    if (buffer == nullptr || stream == nullptr) return nullptr;
    if (Read_Sub_File(index, stream.get(), buffer.get(), static_cast<int>(record.Size)) !=
        static_cast<int>(record.Size)) {
        return nullptr;
    }
    if (!Handed_Out_Buffers.Append(buffer.get())) return nullptr;
    return buffer.release();
}

bool MegaArchiveClass::Release_Sub_File_Data(const void* data)
{
    if (Records == nullptr || data == nullptr) return false;
    if (Mode == MODE_IN_MEMORY) return Handed_Out_Views.Remove(data);
    if (Mode != MODE_STREAMED) return false;
    unsigned char* buffer = static_cast<unsigned char*>(const_cast<void*>(data));
    // Only what this archive handed out is freed.
    if (!Handed_Out_Buffers.Remove(buffer)) return false;
    delete[] buffer;
    return true;
}
