#include "platform/launcher/TestTrace.h"

#include "platform/launcher/PosixFiles.h"

#include <fcntl.h>
#include <unistd.h>

namespace TestTrace {

bool Enabled()
{
    return !PosixFiles::Environment("VESTIBAR_TEST_TRACE").empty();
}

void Write(const std::string& kind, const std::string& detail)
{
    std::string path = PosixFiles::Environment("VESTIBAR_TEST_TRACE");
    if (path.empty()) return;
    std::string line = kind + " " + detail;
    for (char& character : line) {
        if (character == '\n' || character == '\r') character = '|';
    }
    line += '\n';
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0) return;
    ssize_t ignored = ::write(descriptor, line.data(), line.size());
    (void)ignored;
    ::close(descriptor);
}

}  // namespace TestTrace
