#ifndef COGNEXA_TOOLS_COMMAND_LINE_CLASS_H
#define COGNEXA_TOOLS_COMMAND_LINE_CLASS_H

#include <map>
#include <string>
#include <vector>

// The arguments of one subcommand: options ("--name VALUE", "--name=VALUE" or a bare flag)
// and positionals in order. "--" ends the options; "-h" is "--help", and an option may have a
// one-letter form ("-o FILE"). Otherwise a single dash does not start an option, so an
// expression such as "-5 + Unit.Speed" stays a positional.
class CommandLineClass {
public:
    struct OptionStruct {
        const char* Name;  // without the leading "--"
        bool Takes_Value;
        char Letter = 0;  // the one-letter form, if any
    };

    // False, with the reason in Get_Error, for an unknown option or a missing value.
    bool Parse(const std::vector<std::string>& arguments, const std::vector<OptionStruct>& options);
    // Parse for the subcommand named command, answering "--help" and bad options itself: -1 when
    // the command goes on, else the exit status it ends with (0 after the usage, 2 after the error).
    int Parse_Or_Exit(const char* command, const std::vector<std::string>& arguments,
                      const std::vector<OptionStruct>& options, const std::string& usage);

    bool Has(const std::string& name) const { return Values.count(name) != 0; }
    // Every value given for a repeatable option, in order.
    const std::vector<std::string>& Get_Values(const std::string& name) const;
    // The last value given, or fallback.
    std::string Get_Value(const std::string& name, const std::string& fallback = std::string()) const;
    const std::vector<std::string>& Get_Positionals() const { return Positionals; }
    const std::string& Get_Error() const { return Error; }

private:
    std::map<std::string, std::vector<std::string>> Values;
    std::vector<std::string> Positionals;
    std::string Error;
};

#endif
