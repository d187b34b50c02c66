#ifndef VESTIBAR_LAUNCHER_COMMANDS_CLASS_H
#define VESTIBAR_LAUNCHER_COMMANDS_CLASS_H

#include "launcher/LauncherPlatformClass.h"
#include "launcher/LauncherStatus.h"
#include "launcher/SystemCheckClass.h"

#include <string>

class LauncherWindow;

// The commands behind window.external.DoFunction: start the game, setup, uninstaller and
// system-check tool, open the documents and the web page, play the interface sounds.
class LauncherCommandsClass {
public:
    enum class Outcome { Success, Unknown, Stopped };

    LauncherCommandsClass(LauncherPlatformClass& platform, LauncherWindow& window);

    // Names compare exactly and case-sensitively. Unknown answers "error"; Stopped (a check
    // refused, a registry value missing, a start refused) answers nothing.
    Outcome DoFunction(const std::string& command);

    // S_OK when the shell started it. Every refusal fails; lack of rights also tells the player.
    LauncherStatus StartProgram(const std::string& verb, const std::string& file, const std::string& parameters,
                                const std::string& directory);

    // The program and its parameters of an uninstall command line; false when it names no
    // ".exe" (case-sensitive) or is 4 characters or shorter.
    static bool Split_Uninstall_String(const std::string& text, std::string& program, std::string& parameters);
    // The working directory of the game: "ExePath" before its last backslash, or empty.
    static std::string Directory_Of(const std::string& path);

private:
    struct CommandEntry;
    static const CommandEntry COMMANDS[];

    bool Analyze();
    bool ReadMe();
    bool License();
    bool Guide();
    bool Web();
    bool Install();
    bool Uninstall();
    bool Start();

    bool Open_Document(const char* file_key);
    std::string Documents_Folder() const;
    std::string Profile_Text(const char* key) const;
    bool Read_Registry_Path(const std::string& key, const char* name, std::string& text) const;

    LauncherPlatformClass& platform_;
    LauncherWindow& window_;
    SystemCheckClass checks_;
};

#endif
