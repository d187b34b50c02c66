// fparser 4.5 (double): variables from an array handed to Eval, and each variable a function
// added with AddFunction. Parse only, as a host would use it (no Optimize).
#include "BenchHost.h"
#include "EvaluationPeerClass.h"

#include <fparser.hh>

#include <utility>

namespace {

const char* const VARIABLES = "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,w,x,y,z";

template <int Letter>
double Letter_Function(const double*)
{
    return TheLetterValues[Letter];
}

template <int... Letters>
void Add_Functions(FunctionParser& parser, std::integer_sequence<int, Letters...>)
{
    (parser.AddFunction(std::string(1, static_cast<char>('a' + Letters)), &Letter_Function<Letters>, 0), ...);
}

class FparserPeerClass final : public EvaluationPeerClass {
public:
    explicit FparserPeerClass(bool functions) : EvaluationPeerClass(functions ? "fparser_fun" : "fparser_array"),
                                                Functions(functions)
    {
        if (functions) {
            Add_Functions(Parser, std::make_integer_sequence<int, 26>());
        }
    }

    bool Compile(const std::string& expression) override
    {
        if (Functions) {
            return Parser.Parse(Replace_Variables(expression, [](char letter) { return std::string(1, letter) + "()"; }),
                                "") < 0;
        }
        return Parser.Parse(expression, VARIABLES) < 0;
    }

    double Evaluate() override { return Parser.Eval(TheLetterValues); }

    double Nanoseconds_Per_Evaluation(int evaluations) override
    {
        const double* values = TheLetterValues;
        return Time_Evaluations(evaluations, [this, values] { Keep(Parser.Eval(values)); });
    }

private:
    FunctionParser Parser;
    bool Functions;
};

}  // namespace

void Add_Fparser_Peers(EvaluationPeerListType& peers)
{
    peers.push_back(std::make_unique<FparserPeerClass>(false));
    peers.push_back(std::make_unique<FparserPeerClass>(true));
}
