#ifndef COGNEXA_TOOLS_EVALUATION_TARGET_CLASS_H
#define COGNEXA_TOOLS_EVALUATION_TARGET_CLASS_H

#include <memory>
#include <string>

class PerceptionFunctionCallClass;
class PerceptionFunctionClass;
class ToolHostClass;

// One text a user asks the tool to evaluate, resolved as the game would resolve it: with the
// game loaded a registered equation, then a call text, and otherwise an equation text built on
// the spot. Evaluated as often as needed against the host's context.
class EvaluationTargetClass {
public:
    enum OutcomeType {
        OUTCOME_VALUE,
        OUTCOME_NO_TOKEN_VALUE,  // a token the evaluation asked for has no value given
        OUTCOME_FAILED,          // a division by zero, or clamp not given three values
    };

    EvaluationTargetClass();
    ~EvaluationTargetClass();
    EvaluationTargetClass(const EvaluationTargetClass&) = delete;
    EvaluationTargetClass& operator=(const EvaluationTargetClass&) = delete;
    EvaluationTargetClass(EvaluationTargetClass&&) noexcept;
    EvaluationTargetClass& operator=(EvaluationTargetClass&&) noexcept;

    // False, with why in failure, when the text names nothing and does not build.
    bool Resolve(ToolHostClass& host, const std::string& text, bool have_root, std::string& failure);
    // Calls leave their bindings on a copy, so the host's context stays as it was.
    OutcomeType Evaluate(ToolHostClass& host, float& value, std::string& failure) const;
    const std::string& Get_Text() const { return Text; }

private:
    std::string Text;
    const PerceptionFunctionClass* Registered = nullptr;
    std::unique_ptr<PerceptionFunctionClass> Built;
    std::unique_ptr<PerceptionFunctionCallClass> Call;
};

#endif
