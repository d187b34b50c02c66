// The thread contract under load: eight threads evaluate equations and calls, one context at a
// time and many at once, while other threads look equations up, create calls and build (and
// delete) equations of their own. Every lane's result bits, success and sequence of hand-in
// calls must be what one thread got before the others started.
#include <cognexa/cognexa.h>
#include <cognexa/HostHandIns.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/PerceptionFunctionCallClass.h>
#include <cognexa/PerceptionStringHandle.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "RegistryTestHost.h"
#include "TestHandInsStruct.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cfenv>
#include <condition_variable>
#include <cstring>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A context of the stress host: its value, the binding the host last received for it and the
// trace of every hand-in made for it. Only the thread evaluating a context touches it.
class PerceptionContextClass {
public:
    float Base = 0;
    mutable float Bound_Offset = 0;
    mutable unsigned int Trace = 0;

    void Record(unsigned int event) const { Trace = Trace * 1000003u + event; }
};

namespace {

const char* const TOKEN_NAMES[] = {"Unit", "Speed", "Armor", "Zero", "Fail", "Label", "Name", "Target", "Who",
                                   "Nested", "Inner", "Rate"};
enum { UNIT, SPEED, ARMOR, ZERO, FAIL, LABEL, NAME, TARGET, WHO, NESTED, INNER, RATE, TOKEN_COUNT };

// Read-only, so any thread may convert names while building.
class StressTokenConverterClass final : public DynamicEnumConversionClass<PerceptionTokenType> {
public:
    bool String_To_Enum(const std::string& text, PerceptionTokenType& value) const override
    {
        const std::string name = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
        for (int token = 0; token < TOKEN_COUNT; ++token) {
            if (name == TOKEN_NAMES[token]) {
                value = token;
                return true;
            }
        }
        return false;
    }
};

class UnitDatabaseClass final : public DatabaseUIntConversionClass {
public:
    UnitDatabaseClass() : DatabaseUIntConversionClass("StressUnits") {}
    bool String_To_UInt(const std::string& text, unsigned int& id) const override
    {
        const std::string name = text.substr(0, text.find_last_not_of(" \t\r\n") + 1);
        id = name == "Tank" ? 4242u : name == "Jeep" ? 77u : 0u;
        return id != 0;
    }
    std::string UInt_To_String(unsigned int) const override { return std::string(); }
};

StressTokenConverterClass TheConverter;
UnitDatabaseClass* TheUnits = nullptr;
std::atomic<int> TheNoticeCount{0};

// The bits bound to a parameter, copied without a floating-point load: on x87 a load quiets a
// handle whose bits look like a signalling NaN.
unsigned int Bound_Bits(const PerceptionEvaluationStateClass& state, PerceptionTokenType token)
{
    unsigned int bits = 0;
    for (int index = 0; index < state.Get_Value_Count(); ++index) {
        if (state.Get_Value(index).Token == token) {
            std::memcpy(&bits, &state.Get_Value(index).Value, sizeof bits);
        }
    }
    return bits;
}

// The per-lane answer; the bulk hand-in gives each lane exactly this.
bool Evaluate_Stress_Token(const PerceptionContextClass* context, PerceptionEvaluationStateClass& state, float& result)
{
    const std::vector<PerceptionTokenType>& path = state.Get_Token_Path();
    unsigned int event = 3;
    for (PerceptionTokenType token : path) {
        event = event * 31u + static_cast<unsigned int>(token);
    }
    context->Record(event);
    if (path.size() != 2) {
        return false;
    }
    switch (path[1]) {
    case SPEED:
        result = context->Base * 1.5f + context->Bound_Offset;
        return true;
    case ARMOR:
        result = context->Base / 7.0f + 1.0f;
        return true;
    case RATE:
        result = context->Base / 3.0f;
        return true;
    case ZERO:
        result = 0.0f;
        return true;
    case FAIL:
        // Fails for every other context.
        result = context->Base;
        return static_cast<int>(context->Base) % 2 == 0;
    case LABEL: {
        // A string literal bound to Name: its handle resolves to the upper-cased text.
        const char* text = Resolve_Perception_String(Bound_Bits(state, NAME));
        if (text == nullptr) {
            return false;
        }
        result = static_cast<float>(std::strlen(text)) + (std::strcmp(text, "XY Z") == 0 ? 100.0f : 0.0f);
        return true;
    }
    case TARGET:
        // An object id bound to Who arrives bit for bit.
        result = static_cast<float>(Bound_Bits(state, WHO));
        return true;
    case INNER: {
        // A token whose value is another equation's, evaluated for the same context.
        const PerceptionFunctionClass* inner = ThePerceptionFunctionManagerPtr->Get_Managed_Object("INNER");
        return inner != nullptr && inner->Evaluate(*context, result);
    }
    default:
        return false;
    }
}

void Evaluate_Stress_Tokens(PerceptionEvaluationStateClass* const* states, int count, float* values, bool* succeeded)
{
    for (int lane = 0; lane < count; ++lane) {
        succeeded[lane] = Evaluate_Stress_Token(states[lane]->Get_Context(), *states[lane], values[lane]);
    }
}

bool Bind_Stress_Token(PerceptionContextClass* context, PerceptionTokenType left, PerceptionTokenType right)
{
    context->Record(2000u + static_cast<unsigned int>(left * TOKEN_COUNT + right));
    context->Bound_Offset = static_cast<float>(left) * 0.25f + static_cast<float>(right);
    return true;
}

void Notify_Stress(const PerceptionContextClass& context, const PerceptionFunctionClass& equation)
{
    context.Record(1000u + static_cast<unsigned int>(equation.Get_Name().size()));
}

float Random_Midpoint(float low, float high)
{
    return (low + high) / 3.0f;
}

const DatabaseUIntConversionClass* Find_Stress_Database(const std::string& name)
{
    return name.compare(0, 5, "Units") == 0 ? TheUnits : nullptr;
}

void Count_Notice(const char*, const char*)
{
    TheNoticeCount.fetch_add(1);
}

// Released when every thread has arrived.
class StartLineClass {
public:
    explicit StartLineClass(int count) : Waiting(count) {}
    void Arrive_And_Wait()
    {
        std::unique_lock<std::mutex> lock(Mutex);
        if (--Waiting == 0) {
            Released.notify_all();
        }
        Released.wait(lock, [this] { return Waiting == 0; });
    }

private:
    std::mutex Mutex;
    std::condition_variable Released;
    int Waiting;
};

const std::vector<std::pair<std::string, std::string>> EQUATIONS = {
    {"Speed", "Unit.Speed * 2 + Unit.Armor / 3"},
    {"Rounding", "Unit.Rate * 7 / 11 - Unit.Armor / 13"},
    {"DivideByZero", "Unit.Speed / Unit.Zero + Unit.Armor"},
    {"ZeroByZero", "Unit.Zero / Unit.Zero + Unit.Rate"},
    {"Label", "Unit.Label{Name = \"abc\"} + Unit.Label{Name = \"xy z\"} * Unit.Rate"},
    {"Target", "Unit.Target{Who = Units[Tank]} + Unit.Target{Who = Units[Jeep]} / Unit.Armor"},
    {"Inner", "Unit.Armor - 1 / Unit.Rate"},
    {"Outer", "Unit.Inner * 2 + Unit.Speed"},
    {"Twice", "Unit.Inner + Unit.Inner / Unit.Rate"},
    {"Choice", "clamp(Unit.Speed, 2, 9) + (Unit.Rate > 3) + Unit.Armor # Unit.Rate"},
    {"Failing", "Unit.Fail + Unit.Speed"},
};
const char* const CALLS[] = {"Speed{Speed = Armor}", "Outer{Rate = Unit, Zero = Label}", "Failing{}",
                             "Label{Name = Who}"};
// Built and deleted by a builder thread while the others run: its string constants come and go.
const char* const OWN_TEXTS[] = {"Unit.Label{Name = \"own\"} + Unit.Rate", "Unit.Speed / 3 + Unit.Label{Name = \"tmp\"}",
                                 "Unit.Speed +", "clamp(Unit.Rate, 1)"};

constexpr int CONTEXT_COUNT = 300;  // more than one block of lanes
constexpr int EVALUATORS = 8;
constexpr int ROUNDS = 12;

// What one evaluation gave for one context.
struct LaneStruct {
    float Result = -1;
    bool Succeeded = false;
    unsigned int Trace = 0;

    bool operator==(const LaneStruct& other) const
    {
        return Succeeded == other.Succeeded && Trace == other.Trace &&
               (!Succeeded || std::memcmp(&Result, &other.Result, sizeof Result) == 0);
    }
};

std::vector<PerceptionContextClass> Make_Contexts()
{
    std::vector<PerceptionContextClass> contexts(CONTEXT_COUNT);
    for (int index = 0; index < CONTEXT_COUNT; ++index) {
        contexts[index].Base = 1.0f + static_cast<float>(index) * 0.37f;
    }
    return contexts;
}

// A work item: an equation (call null) or a call.
struct ItemStruct {
    const PerceptionFunctionClass* Equation = nullptr;
    const PerceptionFunctionCallClass* Call = nullptr;
    std::vector<LaneStruct> Expected;
};

LaneStruct Evaluate_One(const ItemStruct& item, PerceptionContextClass& context)
{
    LaneStruct lane;
    context.Trace = 0;
    context.Bound_Offset = 0;
    lane.Succeeded = item.Call != nullptr ? item.Call->Evaluate(context, lane.Result)
                                          : item.Equation->Evaluate(context, lane.Result);
    lane.Trace = context.Trace;
    return lane;
}

// Every context through the many-context call; lanes that fail keep their -1.
std::vector<LaneStruct> Evaluate_All(const ItemStruct& item, std::vector<PerceptionContextClass>& contexts)
{
    std::vector<PerceptionContextClass*> pointers;
    for (PerceptionContextClass& context : contexts) {
        context.Trace = 0;
        context.Bound_Offset = 0;
        pointers.push_back(&context);
    }
    std::vector<float> results(contexts.size(), -1.0f);
    std::unique_ptr<bool[]> succeeded(new bool[contexts.size()]);
    const int count = static_cast<int>(contexts.size());
    const int done = item.Call != nullptr
                         ? item.Call->Evaluate_Many(pointers.data(), count, results.data(), succeeded.get())
                         : item.Equation->Evaluate_Many(pointers.data(), count, results.data(), succeeded.get());
    std::vector<LaneStruct> lanes(contexts.size());
    int counted = 0;
    for (std::size_t index = 0; index < contexts.size(); ++index) {
        lanes[index] = {succeeded[index] ? results[index] : -1.0f, succeeded[index], contexts[index].Trace};
        counted += succeeded[index];
    }
    if (done != counted) {
        lanes[0].Trace ^= 0x5a5a5a5au;  // a wrong count fails the comparison
    }
    return lanes;
}

// Mismatches a thread saw, with the first one described.
struct FindingsStruct {
    int Mismatches = 0;
    std::string First;

    void Note(bool same, const std::string& what)
    {
        if (!same && Mismatches++ == 0) {
            First = what;
        }
    }
};

class ThreadContractStress : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        TheUnits = &Units;
        TestHandInsStruct binding;
        binding.Token_Converter = &TheConverter;
        binding.Bind_Token_Callback = &Bind_Stress_Token;
        binding.Evaluate_Token_Callback = &Evaluate_Stress_Token;
        binding.Evaluate_Notify_Callback = &Notify_Stress;
        binding.Random_Float_Callback = &Random_Midpoint;
        binding.Find_Database_Callback = &Find_Stress_Database;
        binding.Notice_Handler = &Count_Notice;
        binding.Install();
        Set_Evaluate_Tokens_Callback(GetParam() ? &Evaluate_Stress_Tokens : nullptr);
        Root.Write_Equations("Stress.xml", EQUATIONS);
        ThePerceptionFunctionManagerClass::Create();
        ASSERT_TRUE(ThePerceptionFunctionManagerPtr->System_Initialize(&Files, false));
    }
    void TearDown() override
    {
        for (const ItemStruct& item : Items) {
            delete item.Call;
        }
        delete ThePerceptionFunctionManagerPtr;
        ThePerceptionFunctionManagerPtr = nullptr;
        Set_Evaluate_Tokens_Callback(nullptr);
        TestHandInsStruct::Uninstall();
        TheUnits = nullptr;
    }

    // Every equation and call, with what this thread gets for each context.
    void Take_Reference()
    {
        std::vector<PerceptionContextClass> contexts = Make_Contexts();
        for (const auto& [name, text] : EQUATIONS) {
            ItemStruct item;
            item.Equation = ThePerceptionFunctionManagerPtr->Get_Managed_Object(name);
            ASSERT_NE(item.Equation, nullptr) << name << ": " << text;
            Items.push_back(item);
        }
        for (const char* text : CALLS) {
            ItemStruct item;
            item.Call = PerceptionFunctionCallClass::Create(text);
            ASSERT_NE(item.Call, nullptr) << text;
            Items.push_back(item);
        }
        for (ItemStruct& item : Items) {
            for (PerceptionContextClass& context : contexts) {
                item.Expected.push_back(Evaluate_One(item, context));
            }
        }
        for (const char* text : OWN_TEXTS) {
            std::unique_ptr<PerceptionFunctionClass> own(PerceptionFunctionClass::Build(text, "Own"));
            LaneStruct lane;
            if (own) {
                ItemStruct item;
                item.Equation = own.get();
                lane = Evaluate_One(item, contexts[4]);
            }
            Own_Expected.push_back({own != nullptr, lane});
        }
    }

    void Evaluate_Rounds(int thread, FindingsStruct& findings) const
    {
        std::vector<PerceptionContextClass> contexts = Make_Contexts();
        for (int round = 0; round < ROUNDS; ++round) {
            for (std::size_t index = 0; index < Items.size(); ++index) {
                const ItemStruct& item = Items[(index + thread) % Items.size()];
                const std::string what = "thread " + std::to_string(thread) + ", item " +
                                         std::to_string((index + thread) % Items.size());
                if ((round + thread) % 2 == 0) {
                    const std::vector<LaneStruct> lanes = Evaluate_All(item, contexts);
                    for (int lane = 0; lane < CONTEXT_COUNT; ++lane) {
                        findings.Note(lanes[lane] == item.Expected[lane], what + ", many, lane " + std::to_string(lane));
                    }
                } else {
                    for (int lane = 0; lane < CONTEXT_COUNT; ++lane) {
                        findings.Note(Evaluate_One(item, contexts[lane]) == item.Expected[lane],
                                      what + ", one, lane " + std::to_string(lane));
                    }
                }
            }
        }
    }

    void Look_Up_And_Create(const std::atomic<bool>& evaluating, FindingsStruct& findings) const
    {
        std::vector<PerceptionContextClass> contexts = Make_Contexts();
        do {
            for (std::size_t index = 0; index < EQUATIONS.size(); ++index) {
                findings.Note(ThePerceptionFunctionManagerPtr->Get_Managed_Object(EQUATIONS[index].first) ==
                                  Items[index].Equation, "look-up of " + EQUATIONS[index].first);
            }
            for (std::size_t index = 0; index < std::size(CALLS); ++index) {
                std::unique_ptr<PerceptionFunctionCallClass> call(PerceptionFunctionCallClass::Create(CALLS[index]));
                findings.Note(call != nullptr, std::string("creation of ") + CALLS[index]);
                if (call) {
                    ItemStruct item;
                    item.Call = call.get();
                    const int lane = static_cast<int>(index * 7);
                    findings.Note(Evaluate_One(item, contexts[lane]) ==
                                      Items[EQUATIONS.size() + index].Expected[lane],
                                  std::string("new call ") + CALLS[index]);
                }
            }
        } while (evaluating.load());
    }

    void Build_Own(const std::atomic<bool>& evaluating, FindingsStruct& findings) const
    {
        std::vector<PerceptionContextClass> contexts = Make_Contexts();
        do {
            for (std::size_t index = 0; index < std::size(OWN_TEXTS); ++index) {
                std::unique_ptr<PerceptionFunctionClass> own(PerceptionFunctionClass::Build(OWN_TEXTS[index], "Own"));
                findings.Note((own != nullptr) == Own_Expected[index].first, std::string("build of ") + OWN_TEXTS[index]);
                if (own) {
                    ItemStruct item;
                    item.Equation = own.get();
                    findings.Note(Evaluate_One(item, contexts[4]) == Own_Expected[index].second,
                                  std::string("own ") + OWN_TEXTS[index]);
                }
            }
        } while (evaluating.load());
    }

    ScratchGameRoot Root;
    MegaFileManagerClass Files;
    UnitDatabaseClass Units;
    std::vector<ItemStruct> Items;
    std::vector<std::pair<bool, LaneStruct>> Own_Expected;
};

TEST_P(ThreadContractStress, EveryThreadGetsWhatOneThreadGot)
{
    Take_Reference();
    ASSERT_FALSE(HasFatalFailure());

    constexpr int OTHERS = 3;
    std::vector<FindingsStruct> findings(EVALUATORS + OTHERS);
    std::atomic<bool> evaluating{true};
    std::atomic<int> evaluators_left{EVALUATORS};
    StartLineClass start(EVALUATORS + OTHERS);
    std::vector<std::thread> threads;
    for (int thread = 0; thread < EVALUATORS + OTHERS; ++thread) {
        threads.emplace_back([&, thread] {
            // A job system's worker may start in the platform's default rounding; the per-thread
            // set-up gives it the loading thread's.
            std::fesetround(FE_TONEAREST);
            Init_Perception_Thread();
            start.Arrive_And_Wait();
            if (thread < EVALUATORS) {
                Evaluate_Rounds(thread, findings[thread]);
                if (evaluators_left.fetch_sub(1) == 1) {
                    evaluating.store(false);
                }
            } else if (thread == EVALUATORS) {
                Build_Own(evaluating, findings[thread]);
            } else {
                Look_Up_And_Create(evaluating, findings[thread]);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (std::size_t thread = 0; thread < findings.size(); ++thread) {
        EXPECT_EQ(findings[thread].Mismatches, 0) << "thread " << thread << ", first: " << findings[thread].First;
    }
    // Divisions by zero on every thread, one notice for the process.
    EXPECT_EQ(TheNoticeCount.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(TokenHandIns, ThreadContractStress, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("Bulk") : std::string("PerLane");
                         });

}  // namespace
