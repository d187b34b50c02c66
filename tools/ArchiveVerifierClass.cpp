#include "tools/ArchiveVerifierClass.h"

#include "tools/FileBytes.h"

#include <cognexa/MegaArchiveClass.h>

#include "data/Crc32.h"
#include "data/NameHelpers.h"

#include <cstdio>

namespace {

constexpr std::uint64_t RECORD_SIZE = MegaArchiveClass::Record_Size;
constexpr std::size_t MAX_NAME_LENGTH = 260;

std::string Hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string Record_Label(std::uint32_t index)
{
    return "record " + std::to_string(index);
}

}  // namespace

bool ArchiveVerifierClass::Load(const std::string& path)
{
    return Read_File_Bytes(path, Bytes);
}

std::uint32_t ArchiveVerifierClass::Le32(std::uint64_t offset) const
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(Bytes.data()) + offset;
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

std::uint32_t ArchiveVerifierClass::Le16(std::uint64_t offset) const
{
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(Bytes.data()) + offset;
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8;
}

// 1. The counts. 2. The name table, entry by entry. 3. The file table after it. Anything that
// does not fit ends the check: nothing after it can be located.
bool ArchiveVerifierClass::Read_Header(std::vector<std::string>& faults) const
{
    const std::uint64_t size = Bytes.size();
    if (size < MegaArchiveClass::Header_Fixed_Size) {
        faults.push_back("the file is " + std::to_string(size) + " bytes long, shorter than the 8-byte header");
        return false;
    }
    Record_Count = Le32(0);
    const std::uint32_t name_count = Le32(4);
    if (Record_Count == 0) {
        faults.push_back("the record count is 0");
    }
    std::uint64_t at = MegaArchiveClass::Header_Fixed_Size;
    Names.clear();
    for (std::uint32_t index = 0; index < name_count; ++index) {
        if (at + 2 > size) {
            faults.push_back("the name count " + std::to_string(name_count) + " does not fit the file: entry " +
                             std::to_string(index) + " would start past its end");
            return false;
        }
        const std::uint32_t length = Le16(at);
        if (at + 2 + length > size) {
            faults.push_back("name " + std::to_string(index) + " (" + std::to_string(length) +
                             " bytes at offset " + std::to_string(at + 2) + ") runs past the end of the file");
            return false;
        }
        Names.push_back(NameStruct{static_cast<std::uint32_t>(at), Bytes.substr(at + 2, length)});
        at += 2 + length;
    }
    Header_Size = at + Record_Count * RECORD_SIZE;
    if (Header_Size > size) {
        faults.push_back("the file table of " + std::to_string(Record_Count) + " records (" +
                         std::to_string(Record_Count * RECORD_SIZE) + " bytes at offset " + std::to_string(at) +
                         ") runs past the end of the file (" + std::to_string(size) + " bytes)");
        return false;
    }
    return Record_Count != 0;
}

void ArchiveVerifierClass::Check_Records(std::uint32_t table, std::vector<std::string>& faults) const
{
    const std::uint64_t size = Bytes.size();
    for (std::uint32_t index = 0; index < Record_Count; ++index) {
        const std::uint64_t record = table + index * RECORD_SIZE;
        const std::uint32_t crc = Le32(record);
        const std::uint32_t stored_index = Le32(record + 4);
        const std::uint32_t member_size = Le32(record + 8);
        const std::uint32_t start = Le32(record + 12);
        const std::uint32_t name_index = Le16(record + 16);
        const std::string label = Record_Label(index);
        if (stored_index != index) {
            faults.push_back(label + ": its index field is " + std::to_string(stored_index) + ", not " +
                             std::to_string(index));
        }
        if (start < Header_Size || start + static_cast<std::uint64_t>(member_size) > size) {
            faults.push_back(label + ": its data (" + std::to_string(member_size) + " bytes at offset " +
                             std::to_string(start) + ") lies outside the member data (offsets " +
                             std::to_string(Header_Size) + " to " + std::to_string(size) + ")");
        }
        if (name_index >= Names.size()) {
            faults.push_back(label + ": its name index " + std::to_string(name_index) +
                             " is outside the name table of " + std::to_string(Names.size()) + " entries");
            continue;
        }
        const std::string& name = Names[name_index].Text;
        if (name.size() > MAX_NAME_LENGTH) {
            faults.push_back(label + ": its name is " + std::to_string(name.size()) + " bytes long, more than " +
                             std::to_string(MAX_NAME_LENGTH));
        }
        if (Normalize_Member_Name(name) != name) {
            faults.push_back(label + ": its name \"" + name + "\" is not in stored form (\"" +
                             Normalize_Member_Name(name) + "\"), so lookups miss it");
        }
        if (Crc32(name) != crc) {
            faults.push_back(label + ": the CRC of its name \"" + name + "\" is " + Hex(Crc32(name)) +
                             " but the record says " + Hex(crc));
        }
    }
}

void ArchiveVerifierClass::Check_Order(std::uint32_t table, std::vector<std::string>& faults) const
{
    for (std::uint32_t index = 1; index < Record_Count; ++index) {
        const std::uint32_t previous = Le32(table + (index - 1) * RECORD_SIZE);
        const std::uint32_t current = Le32(table + index * RECORD_SIZE);
        if (current < previous) {
            faults.push_back("the file table is not sorted by CRC: " + Record_Label(index) + " (" + Hex(current) +
                             ") follows " + Record_Label(index - 1) + " (" + Hex(previous) + ")");
        } else if (current == previous) {
            faults.push_back(Record_Label(index - 1) + " and " + Record_Label(index) + " have the same CRC " +
                             Hex(current) + ": lookups find only one of them");
        }
    }
}

std::vector<std::string> ArchiveVerifierClass::Verify() const
{
    std::vector<std::string> faults;
    if (!Read_Header(faults)) {
        return faults;
    }
    const std::uint32_t table = static_cast<std::uint32_t>(Header_Size - Record_Count * RECORD_SIZE);
    Check_Records(table, faults);
    Check_Order(table, faults);
    return faults;
}
