#ifndef VESTIBAR_FAKE_LAUNCHER_PLATFORM_H
#define VESTIBAR_FAKE_LAUNCHER_PLATFORM_H

#include "launcher/LauncherPlatformClass.h"
#include "launcher/TextConversion.h"

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

// An in-memory platform: resources, registry and window calls are plain data a test sets up
// and inspects afterwards.
class FakeLauncherPlatform : public LauncherPlatformClass {
public:
    struct Sound {
        std::string path;
        bool wait;
        bool interrupt;
    };
    struct ShellCall {
        std::string verb;
        std::string file;
        std::string parameters;
        std::string directory;
    };
    struct Message {
        std::string caption;
        std::string text;
        MessageButtons buttons;
    };

    std::map<std::string, std::string> resources;
    std::uint16_t language_id = 0x0409;
    ScreenMetrics screen{1024, 768, 0, 0, 0};
    std::string program_path = "/opt/game/vestibar";
    InstanceLock lock_result = InstanceLock::Acquired;
    std::string lock_name;
    std::string current_directory = "/start";
    std::vector<std::string> directory_changes;
    std::vector<Sound> sounds;
    int close_count = 0;
    int minimize_count = 0;
    // Everything the launcher did, in order: "sound", "shell", "message", "close".
    std::vector<std::string> events;
    std::vector<ShellCall> shell_calls;
    int shell_result = 42;
    std::vector<Message> messages;
    MessageAnswer answer = MessageAnswer::Yes;
    GraphicsProbe graphics = Sufficient_Graphics();
    bool sound_device = true;

    static GraphicsProbe Sufficient_Graphics()
    {
        GraphicsProbe probe;
        probe.runtime = GraphicsRuntime::Present;
        probe.device_created = true;
        probe.adapters.push_back({0x10de, 0x1234, true, CAPS_HARDWARE_RASTERIZATION | CAPS_HARDWARE_TRANSFORM_AND_LIGHT});
        return probe;
    }

    void Set_Value(RegistryHive hive, const std::string& key, const std::string& name, const RegistryValue& value)
    {
        keys_.insert({hive, Fold(key)});
        values_[{hive, Fold(key), Fold(name)}] = value;
    }
    void Add_Key(RegistryHive hive, const std::string& key) { keys_.insert({hive, Fold(key)}); }
    bool Get_Value(RegistryHive hive, const std::string& key, const std::string& name, RegistryValue& value) const
    {
        auto found = values_.find({hive, Fold(key), Fold(name)});
        if (found == values_.end()) return false;
        value = found->second;
        return true;
    }
    int write_count = 0;

    bool Find_Resource(const std::string& name, std::string& bytes) const override
    {
        auto found = resources.find(name);
        if (found == resources.end()) return false;
        bytes = found->second;
        return true;
    }
    std::uint16_t User_Language_Id() const override { return language_id; }
    ScreenMetrics Screen() const override { return screen; }
    std::string Program_Path() const override { return program_path; }
    InstanceLock Acquire_Single_Instance(const std::string& name) override
    {
        lock_name = name;
        return lock_result;
    }
    std::string Current_Directory() const override { return current_directory; }
    bool Set_Current_Directory(const std::string& path) override
    {
        directory_changes.push_back(path);
        current_directory = path;
        return true;
    }
    std::string Windows_Folder() const override { return "/home/player"; }
    bool Registry_Key_Exists(RegistryHive hive, const std::string& key) const override
    {
        return keys_.count({hive, Fold(key)}) != 0;
    }
    bool Registry_Read(RegistryHive hive, const std::string& key, const std::string& name,
                       RegistryValue& value) const override
    {
        return Get_Value(hive, key, name, value);
    }
    bool Registry_Write(RegistryHive hive, const std::string& key, const std::string& name, const RegistryValue& value,
                        bool create_key) override
    {
        if (!create_key && !Registry_Key_Exists(hive, key)) return false;
        ++write_count;
        Set_Value(hive, key, name, value);
        return true;
    }
    int Shell_Execute(const std::string& verb, const std::string& file, const std::string& parameters,
                      const std::string& directory) override
    {
        shell_calls.push_back({verb, file, parameters, directory});
        events.push_back("shell");
        return shell_result;
    }
    void Play_Sound(const std::string& path, bool wait, bool interrupt) override
    {
        sounds.push_back({path, wait, interrupt});
        events.push_back("sound");
    }
    MessageAnswer Message_Box(const std::string& caption, const std::string& text, MessageButtons buttons) override
    {
        messages.push_back({caption, text, buttons});
        events.push_back("message");
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    GraphicsProbe Probe_Graphics() override { return graphics; }
    bool Probe_Sound_Device() override { return sound_device; }
    void Close_Window() override
    {
        ++close_count;
        events.push_back("close");
    }
    void Minimize_Window() override { ++minimize_count; }
    void Set_Window_Title(const std::string&) override {}

private:
    static std::string Fold(const std::string& text)
    {
        std::string folded = text;
        for (char& character : folded) character = static_cast<char>(Fold_Ascii_Case(static_cast<unsigned char>(character)));
        return folded;
    }

    std::set<std::pair<RegistryHive, std::string>> keys_;
    std::map<std::tuple<RegistryHive, std::string, std::string>, RegistryValue> values_;
};

#endif
