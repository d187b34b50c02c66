#include "platform/launcher/CommandLine.h"

namespace {

bool Is_Blank(char character)
{
    return character == ' ' || character == '\t';
}

}  // namespace

std::vector<std::string> Split_Windows_Command_Line(const std::string& line)
{
    std::vector<std::string> arguments;
    std::size_t position = 0;
    const std::size_t end = line.size();
    while (true) {
        while (position < end && Is_Blank(line[position])) ++position;
        if (position >= end) return arguments;

        std::string argument;
        bool quoted = false;
        while (position < end && (quoted || !Is_Blank(line[position]))) {
            char character = line[position];
            if (character == '\\') {
                std::size_t backslashes = 0;
                while (position < end && line[position] == '\\') {
                    ++backslashes;
                    ++position;
                }
                bool before_quote = position < end && line[position] == '"';
                // 2n backslashes before a quote are n and the quote groups; 2n + 1 are n and a quote.
                argument.append(before_quote ? backslashes / 2 : backslashes, '\\');
                if (before_quote && backslashes % 2 == 1) {
                    argument += '"';
                    ++position;
                }
            } else if (character == '"') {
                if (quoted && position + 1 < end && line[position + 1] == '"') {
                    argument += '"';
                    position += 2;
                } else {
                    quoted = !quoted;
                    ++position;
                }
            } else {
                argument += character;
                ++position;
            }
        }
        arguments.push_back(argument);
    }
}
