#ifndef COGNEXA_BENCH_HOST_H
#define COGNEXA_BENCH_HOST_H

#include <cognexa/PerceptionTokenType.h>

#include <string>
#include <vector>

// The benchmarks' host: every token is a path "V.x" whose last name is one letter, and the
// context holds one float per letter. The token callback only looks the letter up, so the
// figures measure the library, not a host.
class PerceptionContextClass {
public:
    float Letters[26] = {};
};

// The token of the subject "V"; letters a to z are tokens 0 to 25.
constexpr PerceptionTokenType BENCH_SUBJECT_TOKEN = 100;

// Hands the trivial callbacks (and the file system, which may be null) to the library, and
// silences notices so a failing case cannot block a run.
void Install_Bench_Host(class MegaFileManagerClass* file_manager);

// The variable values both the library and muparser see.
PerceptionContextClass Make_Bench_Context();
double Bench_Letter_Value(char letter);

// Lines of a text file, without blank lines and comment lines starting with "#".
std::vector<std::string> Read_Data_Lines(const std::string& path);

// Each one-letter variable of the expression replaced by what replace makes of it; the "e" of a
// number's exponent is not a variable.
std::string Replace_Variables(const std::string& expression, std::string (*replace)(char letter));

// "a * (b + 1)" -> "V.a * (V.b + 1)": each single-letter variable becomes a token path.
std::string To_Token_Expression(const std::string& expression);

// The letters' values as doubles, a to z, for the peers' variables and callbacks; filled before
// main runs.
extern double TheLetterValues[26];

#endif
