#include "BenchHost.h"

#include "TestHandInsStruct.h"

#include <cctype>
#include <fstream>

namespace {

class LetterTokenConverterClass final : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& name, PerceptionTokenType& value) const override
    {
        // Names arrive with the whitespace that followed them in the text.
        std::size_t length = name.size();
        while (length > 0 && std::isspace(static_cast<unsigned char>(name[length - 1]))) {
            --length;
        }
        if (length != 1) {
            return false;
        }
        const char letter = name[0];
        if (letter == 'V') {
            value = BENCH_SUBJECT_TOKEN;
            return true;
        }
        if (letter < 'a' || letter > 'z') {
            return false;
        }
        value = letter - 'a';
        return true;
    }
};

LetterTokenConverterClass TheLetterConverter;
bool TheHostFlag = false;

bool Evaluate_Letter(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    result = context->Letters[state.Get_Token_Path().back()];
    return true;
}

}  // namespace

void Install_Bench_Host(MegaFileManagerClass* file_manager)
{
    TestHandInsStruct binding;
    binding.Token_Converter = &TheLetterConverter;
    binding.Evaluate_Token_Callback = &Evaluate_Letter;
    binding.Fill_Harmless_Callbacks();
    binding.File_Manager = file_manager;
    binding.Host_Flag = &TheHostFlag;
    binding.Install();
}

double Bench_Letter_Value(char letter)
{
    // Distinct, non-zero and exactly representable as floats, so both parsers see the same inputs
    // and no expression divides by zero.
    return 1.25 + 0.5 * (letter - 'a');
}

PerceptionContextClass Make_Bench_Context()
{
    PerceptionContextClass context;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        context.Letters[letter - 'a'] = static_cast<float>(Bench_Letter_Value(letter));
    }
    return context;
}

std::vector<std::string> Read_Data_Lines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string Replace_Variables(const std::string& expression, std::string (*replace)(char letter))
{
    std::string replaced;
    std::size_t position = 0;
    while (position < expression.size()) {
        const unsigned char byte = static_cast<unsigned char>(expression[position]);
        if (std::isdigit(byte) || byte == '.') {
            // A number, with its exponent: the "e" of "1e5" is not a variable.
            std::size_t end = position;
            while (end < expression.size() && (std::isdigit(static_cast<unsigned char>(expression[end])) ||
                                               expression[end] == '.')) {
                ++end;
            }
            if (end < expression.size() && (expression[end] == 'e' || expression[end] == 'E')) {
                std::size_t digits = end + 1;
                if (digits < expression.size() && (expression[digits] == '+' || expression[digits] == '-')) {
                    ++digits;
                }
                if (digits < expression.size() && std::isdigit(static_cast<unsigned char>(expression[digits]))) {
                    end = digits;
                    while (end < expression.size() && std::isdigit(static_cast<unsigned char>(expression[end]))) {
                        ++end;
                    }
                }
            }
            replaced.append(expression, position, end - position);
            position = end;
        } else if (std::isalpha(byte)) {
            replaced += replace(expression[position++]);
        } else {
            replaced += expression[position++];
        }
    }
    return replaced;
}

std::string To_Token_Expression(const std::string& expression)
{
    return Replace_Variables(expression, [](char letter) { return std::string("V.") + letter; });
}

double TheLetterValues[26];

namespace {

// Filled before main, so a peer's variable callback is one load, like the library's host.
const bool TheLetterValuesFilled = [] {
    for (int letter = 0; letter < 26; ++letter) {
        TheLetterValues[letter] = Bench_Letter_Value(static_cast<char>('a' + letter));
    }
    return true;
}();

}  // namespace
