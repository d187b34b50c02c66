#include "tools/ArchiveExtractorClass.h"

#include <cognexa/MegaArchiveClass.h>

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

ArchiveExtractorClass::ArchiveExtractorClass(MegaArchiveClass& archive, const fs::path& target, bool force)
    : Archive(archive), Target(target), Force(force)
{
}

bool ArchiveExtractorClass::Split_Member_Name(const std::string& name, std::vector<std::string>& parts,
                                              std::string& reason)
{
    parts.clear();
    if (name.empty()) {
        reason = "it has no name";
        return false;
    }
    if (name[0] == '\\' || name[0] == '/') {
        reason = "it is an absolute name";
        return false;
    }
    std::string part;
    for (const char byte : name + "\\") {
        if (static_cast<unsigned char>(byte) < 0x20) {
            reason = "it holds a control character";
            return false;
        }
        if (byte == ':') {
            reason = "it holds a drive letter or a \":\"";
            return false;
        }
        if (byte != '\\' && byte != '/') {
            part += byte;
            continue;
        }
        if (part == "..") {
            reason = "it climbs out with \"..\"";
            return false;
        }
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    }
    if (parts.empty()) {
        reason = "it names no file";
        return false;
    }
    return true;
}

// Each folder is entered or made in turn, so no link planted on the way can lead outside.
bool ArchiveExtractorClass::Enter_Folders(const std::vector<std::string>& parts, fs::path& folder)
{
    folder = Target;
    for (std::size_t index = 0; index + 1 < parts.size(); ++index) {
        folder /= parts[index];
        std::error_code failure;
        const fs::file_status status = fs::symlink_status(folder, failure);
        if (fs::is_symlink(status)) {
            Error = folder.string() + " is a symbolic link";
            return false;
        }
        if (fs::exists(status)) {
            if (!fs::is_directory(status)) {
                Error = folder.string() + " exists and is not a folder";
                return false;
            }
            continue;
        }
        if (!fs::create_directory(folder, failure) && failure) {
            Error = folder.string() + ": " + failure.message();
            return false;
        }
    }
    return true;
}

bool ArchiveExtractorClass::Write_Member(int index, const fs::path& file)
{
    const std::uint32_t size = Archive.Get_Sub_File_Size(index);
    const void* data = size == 0 ? nullptr : Archive.Load_Sub_File_Data(index);
    if (size != 0 && data == nullptr) {
        Error = "cannot read the member from the archive";
        return false;
    }
    std::ofstream output(file, std::ios::binary | std::ios::trunc);
    if (size != 0) {
        output.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        Archive.Release_Sub_File_Data(data);
    }
    output.close();
    if (!output) {
        Error = file.string() + ": cannot be written";
        return false;
    }
    return true;
}

bool ArchiveExtractorClass::Extract(int index)
{
    std::string name;
    Archive.Get_Sub_File_Name(index, name);
    std::vector<std::string> parts;
    std::string reason;
    if (!Split_Member_Name(name, parts, reason)) {
        Error = "refused \"" + name + "\": " + reason + "; it would be written outside the target folder";
        return false;
    }
    fs::path folder;
    if (!Enter_Folders(parts, folder)) {
        Error = "refused \"" + name + "\": " + Error;
        return false;
    }
    const fs::path file = folder / parts.back();
    std::error_code failure;
    const fs::file_status status = fs::symlink_status(file, failure);
    if (fs::is_symlink(status) || (fs::exists(status) && !fs::is_regular_file(status))) {
        Error = "refused \"" + name + "\": " + file.string() + " exists and is not a plain file";
        return false;
    }
    if (fs::exists(status) && !Force) {
        Error = "skipped \"" + name + "\": " + file.string() + " exists (use --force to overwrite)";
        return false;
    }
    return Write_Member(index, file);
}
