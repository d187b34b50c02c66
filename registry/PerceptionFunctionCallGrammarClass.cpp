// Hand-written like the equation grammar (see PerceptionFunctionGrammarClass.cpp): blanks are
// taken in by the character before them, which Spirit's leaf directive did not allow.
#include "registry/PerceptionFunctionCallGrammarClass.h"

#include "foundation/AsciiCharacterTable.h"

namespace {

using AsciiCharacterTable::Is_Letter;
using AsciiCharacterTable::Is_Letter_Or_Digit;
using AsciiCharacterTable::Skip_Blanks;

class CallScannerClass {
public:
    CallScannerClass(const char* begin, const char* end) : Cursor(begin), End(end) {}

    bool Identifier(std::string& text)
    {
        const char* start = Skip_Blanks(Cursor, End);
        if (start == End || !Is_Letter(*start)) {
            return false;
        }
        const char* scan = Skip_Blanks(start + 1, End);
        while (scan < End && (Is_Letter_Or_Digit(*scan) || *scan == '_')) {
            scan = Skip_Blanks(scan + 1, End);
        }
        text.assign(start, scan);
        Cursor = scan;
        return true;
    }

    bool Char(char expected)
    {
        const char* at = Skip_Blanks(Cursor, End);
        if (at == End || *at != expected) {
            return false;
        }
        Cursor = Skip_Blanks(at + 1, End);
        return true;
    }

    bool Peek(char expected) const
    {
        const char* at = Skip_Blanks(Cursor, End);
        return at != End && *at == expected;
    }

    bool At_End() const { return Skip_Blanks(Cursor, End) == End; }

private:
    const char* Cursor;
    const char* End;
};

bool Parse_Binding(CallScannerClass& scanner, PerceptionFunctionCallGrammarClass::BindingTextStruct& binding)
{
    return scanner.Identifier(binding.Left) && scanner.Char('=') && scanner.Identifier(binding.Right);
}

}  // namespace

// 1. The function name.
// 2. "{", then bindings separated by commas (none at all is allowed), then "}".
// 3. Nothing but blanks after it.
bool PerceptionFunctionCallGrammarClass::Parse(const std::string& text, CallTextStruct& call)
{
    const std::size_t nul = text.find('\0');
    const char* begin = text.data();
    CallScannerClass scanner(begin, begin + (nul == std::string::npos ? text.size() : nul));

    call.Bindings.clear();
    if (!scanner.Identifier(call.Function_Name) || !scanner.Char('{')) {
        return false;
    }
    if (!scanner.Peek('}')) {
        do {
            BindingTextStruct binding;
            if (!Parse_Binding(scanner, binding)) {
                return false;
            }
            call.Bindings.push_back(std::move(binding));
        } while (scanner.Char(','));
    }
    return scanner.Char('}') && scanner.At_End();
}
