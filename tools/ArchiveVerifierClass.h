#ifndef COGNEXA_TOOLS_ARCHIVE_VERIFIER_CLASS_H
#define COGNEXA_TOOLS_ARCHIVE_VERIFIER_CLASS_H

#include <cstdint>
#include <string>
#include <vector>

// Checks an archive file against its format and names every fault: counts and tables that do
// not fit the file, records whose data lies outside it, index and name-index fields out of
// range, a file table out of CRC order, stored names that are not in stored form or whose CRC
// differs from their record's. The game's reader only refuses such a file; this says why.
class ArchiveVerifierClass {
public:
    // False when the file cannot be read at all (the reason is the one fault).
    bool Load(const std::string& path);
    // Every fault found, in file order; empty for a sound archive.
    std::vector<std::string> Verify() const;

    std::uint32_t Get_Record_Count() const { return Record_Count; }

private:
    struct NameStruct {
        std::uint32_t Offset;
        std::string Text;
    };

    bool Read_Header(std::vector<std::string>& faults) const;
    void Check_Records(std::uint32_t table, std::vector<std::string>& faults) const;
    void Check_Order(std::uint32_t table, std::vector<std::string>& faults) const;
    std::uint32_t Le32(std::uint64_t offset) const;
    std::uint32_t Le16(std::uint64_t offset) const;

    std::string Bytes;
    mutable std::uint32_t Record_Count = 0;
    mutable std::vector<NameStruct> Names;
    mutable std::uint64_t Header_Size = 0;
};

#endif
