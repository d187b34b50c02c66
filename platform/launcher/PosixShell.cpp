#include "platform/launcher/PosixShell.h"

#include "launcher/TextConversion.h"
#include "platform/launcher/CommandLine.h"
#include "platform/launcher/PosixLauncherServices.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace PosixShell {

namespace {

const char* const OPENER = "xdg-open";

int Result_Of_Error(int error)
{
    if (error == ENOENT || error == ENOTDIR) return FILE_NOT_FOUND;
    if (error == EACCES || error == EPERM) return ACCESS_DENIED;
    return OTHER_FAILURE;
}

std::string Absolute(const std::string& path)
{
    if (path.empty() || path[0] == '/') return path;
    return PosixLauncherServices::Current_Directory() + "/" + path;
}

// Started programs outlive the launcher; until it exits, a thread of its own collects each one
// so none lingers as a zombie.
void Collect_When_Done(pid_t child)
{
    std::thread([child] {
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

int Spawn(const std::vector<std::string>& arguments, bool search_path, const std::string& directory)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());

    // The program gets a session of its own and the signal dispositions a fresh process has,
    // whatever the launcher's toolkit set.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int number : {SIGPIPE, SIGCHLD, SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, number);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t child = -1;
    int error = search_path ? ::posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ)
                            : ::posix_spawn(&child, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return Result_Of_Error(error);
    Collect_When_Done(child);
    return STARTED;
}

}  // namespace

std::string Native_Path(const std::string& path, const std::string& drive_root)
{
    std::string text = path;
    bool drive_letter = text.size() >= 2 && text[1] == ':' && std::isalpha(static_cast<unsigned char>(text[0]));
    if (drive_letter) text.erase(0, 2);
    for (char& character : text) {
        if (character == '\\') character = '/';
    }
    bool from_drive_root = !text.empty() && text[0] == '/' && (drive_letter || path[0] == '\\');
    if (!from_drive_root) return text;
    std::string root = drive_root.empty() ? "/" : drive_root;
    if (root.back() == '/') root.pop_back();
    return root + text;
}

std::string Mount_Point(const std::string& directory)
{
    std::string current = directory;
    struct stat here;
    if (current.empty() || current[0] != '/' || ::stat(current.c_str(), &here) != 0) return "/";
    // Walk up while the parent lies on the same device: the last directory on it is the mount point.
    while (current != "/") {
        std::size_t slash = current.find_last_of('/');
        std::string parent = slash == 0 ? "/" : current.substr(0, slash);
        struct stat above;
        if (::stat(parent.c_str(), &above) != 0 || above.st_dev != here.st_dev) return current;
        current = parent;
    }
    return current;
}

bool Is_Address(const std::string& text)
{
    std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0]))) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        unsigned char character = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(character) && character != '+' && character != '-' && character != '.') return false;
    }
    return true;
}

int Execute(const std::string& verb, const std::string& file, const std::string& parameters,
            const std::string& directory, const std::string& drive_root)
{
    bool open_verb = Equal_Ignoring_Case(verb, std::string("open"));
    if (!verb.empty() && !open_verb) return OTHER_FAILURE;
    std::string working_directory = directory.empty() ? std::string() : Absolute(Native_Path(directory, drive_root));

    if (Is_Address(file)) return Spawn({OPENER, file}, true, working_directory);

    // Relative names are taken from the launcher's directory, before the child changes its own.
    std::string path = Absolute(Native_Path(file, drive_root));
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) return Result_Of_Error(errno);
    // A file marked executable for anyone is a program; if it is not ours to run, the start is
    // refused for lack of rights rather than opened as a document.
    bool executable = S_ISREG(status.st_mode) && (status.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0;
    if (open_verb || !executable) return Spawn({OPENER, path}, true, working_directory);

    std::vector<std::string> arguments{path};
    for (std::string& argument : Split_Windows_Command_Line(parameters)) arguments.push_back(std::move(argument));
    return Spawn(arguments, false, working_directory);
}

}  // namespace PosixShell
