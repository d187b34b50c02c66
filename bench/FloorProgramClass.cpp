#include "FloorProgramClass.h"

#include "BenchHost.h"
#include "equations/ArithmeticNodeClasses.h"
#include "equations/ConstantNodeClass.h"
#include "equations/TokenNodeClass.h"

#include <cctype>
#include <cstdlib>

bool FloorProgramClass::Compile(const std::string& expression)
{
    Nodes.clear();
    Stack.reserve(64);
    Position = expression.c_str();
    Skip_Blanks();
    if (!Parse_Additive()) {
        return false;
    }
    Skip_Blanks();
    return *Position == '\0';
}

void FloorProgramClass::Skip_Blanks()
{
    while (std::isspace(static_cast<unsigned char>(*Position))) {
        ++Position;
    }
}

bool FloorProgramClass::Parse_Additive()
{
    if (!Parse_Multiplicative()) {
        return false;
    }
    for (;;) {
        Skip_Blanks();
        const char operation = *Position;
        if (operation != '+' && operation != '-') {
            return true;
        }
        ++Position;
        if (!Parse_Multiplicative()) {
            return false;
        }
        if (operation == '+') {
            Nodes.emplace_back(new AddNodeClass());
        } else {
            Nodes.emplace_back(new SubtractNodeClass());
        }
    }
}

bool FloorProgramClass::Parse_Multiplicative()
{
    if (!Parse_Unary()) {
        return false;
    }
    for (;;) {
        Skip_Blanks();
        const char operation = *Position;
        if (operation != '*' && operation != '/') {
            return true;
        }
        ++Position;
        if (!Parse_Unary()) {
            return false;
        }
        if (operation == '*') {
            Nodes.emplace_back(new MultiplyNodeClass());
        } else {
            Nodes.emplace_back(new DivideNodeClass());
        }
    }
}

// A number literal is tried first, so "-5" is a literal while "- 5" and "-a" are negations.
bool FloorProgramClass::Parse_Unary()
{
    Skip_Blanks();
    if (Parse_Number()) {
        return true;
    }
    const char first = *Position;
    if (std::isalpha(static_cast<unsigned char>(first))) {
        auto token = std::make_unique<TokenNodeClass>();
        token->Token_Path = {BENCH_SUBJECT_TOKEN, first - 'a'};
        Nodes.push_back(std::move(token));
        ++Position;
        return true;
    }
    if (first == '(') {
        ++Position;
        if (!Parse_Additive()) {
            return false;
        }
        Skip_Blanks();
        if (*Position != ')') {
            return false;
        }
        ++Position;
        return true;
    }
    if (first == '-') {
        ++Position;
        if (!Parse_Unary()) {
            return false;
        }
        Nodes.emplace_back(new NegateNodeClass());
        return true;
    }
    return false;
}

bool FloorProgramClass::Parse_Number()
{
    const char* end = Position;
    if (*end == '+' || *end == '-') {
        ++end;
    }
    const char* digits = end;
    while (std::isdigit(static_cast<unsigned char>(*end))) {
        ++end;
    }
    const bool integral = end != digits;
    if (*end == '.') {
        ++end;
        const char* fraction = end;
        while (std::isdigit(static_cast<unsigned char>(*end))) {
            ++end;
        }
        if (!integral && end == fraction) {
            return false;
        }
    } else if (!integral) {
        return false;
    }
    const std::string text(Position, end);
    Nodes.emplace_back(ConstantNodeClass::Make_Number(static_cast<float>(std::atof(text.c_str()))));
    Position = end;
    return true;
}
