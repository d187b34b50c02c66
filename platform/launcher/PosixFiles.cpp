#include "platform/launcher/PosixFiles.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PosixFiles {

bool Read_Whole_File(const std::string& path, std::string& contents)
{
    contents.clear();
    int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    char buffer[65536];
    ssize_t count;
    while ((count = ::read(descriptor, buffer, sizeof buffer)) != 0) {
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            ::close(descriptor);
            return false;
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    return true;
}

bool Replace_File_Atomically(const std::string& path, const std::string& contents)
{
    std::string temporary = path + ".XXXXXX";
    int descriptor = ::mkstemp(&temporary[0]);
    if (descriptor < 0) return false;
    std::size_t written = 0;
    bool ok = true;
    while (ok && written < contents.size()) {
        ssize_t count = ::write(descriptor, contents.data() + written, contents.size() - written);
        if (count < 0 && errno == EINTR) continue;
        ok = count > 0;
        if (ok) written += static_cast<std::size_t>(count);
    }
    ok = ok && ::fchmod(descriptor, 0644) == 0 && ::fsync(descriptor) == 0;
    ok = ::close(descriptor) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

bool File_Exists(const std::string& path)
{
    struct stat status;
    return ::lstat(path.c_str(), &status) == 0;
}

bool Make_Directories(const std::string& path)
{
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (!prefix.empty() && ::mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : std::string();
}

}  // namespace PosixFiles
