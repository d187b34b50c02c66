#include "tools/CommandLineClass.h"

#include <cstdio>

namespace {

const CommandLineClass::OptionStruct* Find_Option(const std::vector<CommandLineClass::OptionStruct>& options,
                                                  const std::string& name)
{
    for (const CommandLineClass::OptionStruct& option : options) {
        if (name == option.Name) {
            return &option;
        }
    }
    return nullptr;
}

// "-o" for an option whose one-letter form is 'o'; "" when there is none.
std::string Letter_Option(const std::vector<CommandLineClass::OptionStruct>& options, const std::string& argument)
{
    if (argument.size() == 2 && argument[0] == '-') {
        for (const CommandLineClass::OptionStruct& option : options) {
            if (option.Letter != 0 && option.Letter == argument[1]) {
                return std::string("--") + option.Name;
            }
        }
    }
    return std::string();
}

}  // namespace

bool CommandLineClass::Parse(const std::vector<std::string>& arguments, const std::vector<OptionStruct>& options)
{
    bool options_ended = false;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string letter_option = options_ended ? std::string() : Letter_Option(options, arguments[index]);
        const std::string& argument = letter_option.empty() ? arguments[index] : letter_option;
        if (options_ended || argument.size() < 2 || argument[0] != '-' || (argument[1] != '-' && argument != "-h")) {
            Positionals.push_back(argument);
            continue;
        }
        if (argument == "--") {
            options_ended = true;
            continue;
        }
        std::string name = argument == "-h" ? "help" : argument.substr(2);
        std::string value;
        const std::size_t equals = name.find('=');
        const bool inline_value = equals != std::string::npos;
        if (inline_value) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionStruct* option = Find_Option(options, name);
        if (option == nullptr) {
            Error = "unknown option --" + name;
            return false;
        }
        if (!option->Takes_Value) {
            if (inline_value) {
                Error = "option --" + name + " takes no value";
                return false;
            }
            Values[name];
            continue;
        }
        if (!inline_value) {
            if (index + 1 == arguments.size()) {
                Error = "option --" + name + " needs a value";
                return false;
            }
            value = arguments[++index];
        }
        Values[name].push_back(value);
    }
    return true;
}

const std::vector<std::string>& CommandLineClass::Get_Values(const std::string& name) const
{
    static const std::vector<std::string> none;
    const auto found = Values.find(name);
    return found == Values.end() ? none : found->second;
}

std::string CommandLineClass::Get_Value(const std::string& name, const std::string& fallback) const
{
    const std::vector<std::string>& values = Get_Values(name);
    return values.empty() ? fallback : values.back();
}

int CommandLineClass::Parse_Or_Exit(const char* command, const std::vector<std::string>& arguments,
                                    const std::vector<OptionStruct>& options, const std::string& usage)
{
    if (!Parse(arguments, options)) {
        std::fprintf(stderr, "cognexa %s: %s\n%s", command, Error.c_str(), usage.c_str());
        return 2;
    }
    if (Has("help")) {
        std::fputs(usage.c_str(), stdout);
        return 0;
    }
    return -1;
}
