// muparser 2.3: variables by pointer (DefineVar), and each variable a callback function
// (DefineFun, not optimizable, so it is called on every evaluation like a token callback).
#include "BenchHost.h"
#include "EvaluationPeerClass.h"

#include <muParser.h>

namespace {

template <int Letter>
double Letter_Callback()
{
    return TheLetterValues[Letter];
}

template <int... Letters>
void Define_Callbacks(mu::Parser& parser, std::integer_sequence<int, Letters...>)
{
    (parser.DefineFun(std::string(1, static_cast<char>('a' + Letters)), &Letter_Callback<Letters>, false), ...);
}

class MuparserPeerClass final : public EvaluationPeerClass {
public:
    explicit MuparserPeerClass(bool callbacks) : EvaluationPeerClass(callbacks ? "muparser_fun" : "muparser_var"),
                                                 Callbacks(callbacks)
    {
        if (callbacks) {
            Define_Callbacks(Parser, std::make_integer_sequence<int, 26>());
        } else {
            for (int letter = 0; letter < 26; ++letter) {
                Parser.DefineVar(std::string(1, static_cast<char>('a' + letter)), &TheLetterValues[letter]);
            }
        }
    }

    bool Compile(const std::string& expression) override
    {
        try {
            Parser.SetExpr(Callbacks ? Replace_Variables(expression, [](char letter) { return std::string(1, letter) + "()"; })
                                     : expression);
            Parser.Eval();  // compiles
            return true;
        } catch (const mu::Parser::exception_type&) {
            return false;
        }
    }

    double Evaluate() override { return Parser.Eval(); }

    double Nanoseconds_Per_Evaluation(int evaluations) override
    {
        return Time_Evaluations(evaluations, [this] { Keep(Parser.Eval()); });
    }

private:
    mu::Parser Parser;
    bool Callbacks;
};

}  // namespace

void Add_Muparser_Peers(EvaluationPeerListType& peers)
{
    peers.push_back(std::make_unique<MuparserPeerClass>(true));
    peers.push_back(std::make_unique<MuparserPeerClass>(false));
}
