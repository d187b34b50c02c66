#include "platform/posix/PathResolution.h"

#include "foundation/AsciiCharacterTable.h"

#include <dirent.h>
#include <sys/stat.h>

#include <vector>

namespace PosixPath {

namespace {

bool Exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> Split_Components(const std::string& path)
{
    std::vector<std::string> components;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        std::string::size_type slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        if (slash > start) components.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return components;
}

std::string Join(const std::string& directory, const std::string& component)
{
    if (directory.empty()) return component;
    if (directory.back() == '/') return directory + component;
    return directory + "/" + component;
}

// The smallest entry of directory equal to component ignoring case; empty when none.
std::string Find_Entry_Ignoring_Case(const std::string& directory, const std::string& component)
{
    DIR* listing = ::opendir(directory.empty() ? "." : directory.c_str());
    if (listing == nullptr) return std::string();
    std::string best;
    while (const struct dirent* entry = ::readdir(listing)) {
        std::string name = entry->d_name;
        if (AsciiCharacterTable::Ascii_Equal_Ignoring_Case(name, component) && (best.empty() || name < best)) best = name;
    }
    ::closedir(listing);
    return best;
}

}  // namespace

std::string Resolve_Path(const char* name)
{
    std::string path = name;
    for (char& byte : path) {
        if (byte == '\\') byte = '/';
    }
    if (path.empty() || Exists(path)) return path;

    const bool trailing_slash = path.back() == '/';
    std::string resolved = path[0] == '/' ? "/" : "";
    bool matching = true;
    for (const std::string& component : Split_Components(path)) {
        std::string candidate = Join(resolved, component);
        if (matching && component != "." && component != ".." && !Exists(candidate)) {
            std::string entry = Find_Entry_Ignoring_Case(resolved, component);
            if (entry.empty()) {
                matching = false;
            } else {
                candidate = Join(resolved, entry);
            }
        }
        resolved = candidate;
    }
    if (trailing_slash && !resolved.empty() && resolved.back() != '/') resolved += '/';
    return resolved;
}

}  // namespace PosixPath
