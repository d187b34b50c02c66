#ifndef COGNEXA_TOOLS_ARCHIVE_EXTRACTOR_CLASS_H
#define COGNEXA_TOOLS_ARCHIVE_EXTRACTOR_CLASS_H

#include <filesystem>
#include <string>
#include <vector>

class MegaArchiveClass;

// Writes members of an opened archive below a target folder and never anywhere else: names
// with "..", absolute names, drive letters and control characters are refused, folders are
// entered one at a time and a symbolic link on the way is refused, and an existing file is
// replaced only when forced.
class ArchiveExtractorClass {
public:
    ArchiveExtractorClass(MegaArchiveClass& archive, const std::filesystem::path& target, bool force);

    // True when the member was written; otherwise the reason is in Get_Error.
    bool Extract(int index);
    const std::string& Get_Error() const { return Error; }

    // The folders and file name a stored name stands for, or false with the reason.
    static bool Split_Member_Name(const std::string& name, std::vector<std::string>& parts, std::string& reason);

private:
    bool Enter_Folders(const std::vector<std::string>& parts, std::filesystem::path& folder);
    bool Write_Member(int index, const std::filesystem::path& file);

    MegaArchiveClass& Archive;
    std::filesystem::path Target;
    bool Force;
    std::string Error;
};

#endif
