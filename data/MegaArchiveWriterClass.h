#ifndef COGNEXA_DATA_MEGA_ARCHIVE_WRITER_CLASS_H
#define COGNEXA_DATA_MEGA_ARCHIVE_WRITER_CLASS_H

#include <cstdint>
#include <string>
#include <vector>

// Builds a mega file from (name, bytes) pairs: names are stored normalised (upper case,
// backslashes, no leading ".\" or "\"), the file table is sorted by name CRC and the member
// data follows the table in the same order.
class MegaArchiveWriterClass {
public:
    // False (with the reason in Get_Last_Error) for an empty or too long name, a name given
    // twice, or a name whose CRC another name already has.
    bool Add_File(const std::string& name, const std::vector<unsigned char>& bytes);
    bool Add_File(const std::string& name, const std::string& bytes);

    bool Write_To_Memory(std::vector<unsigned char>& image) const;
    bool Write_To_File(const std::string& path) const;

    int Get_File_Count() const { return static_cast<int>(Files.size()); }
    const std::string& Get_Last_Error() const { return Last_Error; }

private:
    struct PendingFileStruct {
        std::string Name;
        std::uint32_t Name_CRC;
        std::vector<unsigned char> Bytes;
    };

    std::vector<PendingFileStruct> Files;
    std::string Last_Error;
};

#endif
