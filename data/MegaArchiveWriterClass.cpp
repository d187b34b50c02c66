#include "data/MegaArchiveWriterClass.h"

#include <cognexa/FileStreamClass.h>
#include <cognexa/MegaArchiveClass.h>

#include "data/Crc32.h"
#include "data/NameHelpers.h"

#include <algorithm>
#include <climits>

namespace {

// The longest name the game's archive reader takes.
constexpr std::size_t Max_Name_Length = 260;

void Put_Le32(std::vector<unsigned char>& image, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) image.push_back(static_cast<unsigned char>(value >> shift));
}

void Put_Le16(std::vector<unsigned char>& image, std::uint32_t value)
{
    image.push_back(static_cast<unsigned char>(value));
    image.push_back(static_cast<unsigned char>(value >> 8));
}

}  // namespace

bool MegaArchiveWriterClass::Add_File(const std::string& name, const std::string& bytes)
{
    return Add_File(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

bool MegaArchiveWriterClass::Add_File(const std::string& name, const std::vector<unsigned char>& bytes)
{
    const std::string stored = Normalize_Member_Name(name);
    if (stored.empty() || stored.size() > Max_Name_Length) {
        Last_Error = "unusable member name \"" + name + "\"";
        return false;
    }
    const std::uint32_t crc = Crc32(stored);
    for (const PendingFileStruct& file : Files) {
        if (file.Name == stored) {
            Last_Error = "member \"" + stored + "\" added twice";
            return false;
        }
        if (file.Name_CRC == crc) {
            Last_Error = "members \"" + file.Name + "\" and \"" + stored + "\" have the same name CRC";
            return false;
        }
    }
    Files.push_back(PendingFileStruct{stored, crc, bytes});
    return true;
}

bool MegaArchiveWriterClass::Write_To_Memory(std::vector<unsigned char>& image) const
{
    if (Files.empty()) return false;
    if (Files.size() > 0xFFFF) return false;  // name indices are 16 bits wide

    std::vector<std::size_t> order(Files.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [this](std::size_t a, std::size_t b) { return Files[a].Name_CRC < Files[b].Name_CRC; });

    // Header: counts and the name table in the order the files were added.
    image.clear();
    Put_Le32(image, static_cast<std::uint32_t>(Files.size()));
    Put_Le32(image, static_cast<std::uint32_t>(Files.size()));
    for (const PendingFileStruct& file : Files) {
        Put_Le16(image, static_cast<std::uint32_t>(file.Name.size()));
        image.insert(image.end(), file.Name.begin(), file.Name.end());
    }

    // File table sorted by CRC; the members follow it in the same order.
    std::uint64_t start = image.size() + Files.size() * MegaArchiveClass::Record_Size;
    for (std::size_t position = 0; position < order.size(); ++position) {
        const PendingFileStruct& file = Files[order[position]];
        if (start + file.Bytes.size() > INT_MAX) return false;
        Put_Le32(image, file.Name_CRC);
        Put_Le32(image, static_cast<std::uint32_t>(position));
        Put_Le32(image, static_cast<std::uint32_t>(file.Bytes.size()));
        Put_Le32(image, static_cast<std::uint32_t>(start));
        Put_Le16(image, static_cast<std::uint32_t>(order[position]));
        Put_Le16(image, 0);
        start += file.Bytes.size();
    }
    for (std::size_t index : order) image.insert(image.end(), Files[index].Bytes.begin(), Files[index].Bytes.end());
    return true;
}

bool MegaArchiveWriterClass::Write_To_File(const std::string& path) const
{
    std::vector<unsigned char> image;
    if (!Write_To_Memory(image)) return false;
    FileStreamClass file;
    if (!file.Open(path, FileStreamClass::ACCESS_WRITE, false)) return false;
    const int count = static_cast<int>(image.size());
    return file.Write(image.data(), count) == count && file.Close();
}
