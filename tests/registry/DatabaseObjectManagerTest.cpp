#include <cognexa/cognexa.h>
#include <cognexa/DatabaseObjectManagerClass.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>

#include "registry/StringHash.h"

#include "foundation/AsciiCharacterTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <type_traits>
#include <unordered_map>

namespace {

// The registry owns its equations: a copy would share them and delete them twice.
static_assert(!std::is_copy_constructible_v<ThePerceptionFunctionManagerClass>);
static_assert(!std::is_copy_assignable_v<ThePerceptionFunctionManagerClass>);

TEST(StringHash, SamplesAtMostFifteenSignedBytes)
{
    struct Case {
        const char* name;
        std::string text;
        uint32_t expected;
    } cases[] = {
        {"empty string is the seed", "", 0xDEADBEEFu},
        {"short strings add every byte", "abc", 0xDEADC015u},
        {"bytes count as signed", std::string(1, '\xFF'), 0xDEADBEEEu},
        // 32 bytes: step 3, so positions 0, 3, ... 27 (the last i with i <= n - step) count.
        {"long strings are sampled", std::string(32, 'a'), 0xDEADBEEFu + 10u * 'a'},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(Hash_String(test.text), test.expected) << test.name;
    }
    EXPECT_EQ(Hash_String(std::string(100, 'x') + "TAIL-A"), Hash_String(std::string(100, 'x') + "TAIL-B"))
        << "bytes between the samples must not count";
}

// Numbered names sample to a few dozen values of the string hash; the registry's buckets must
// still spread them, or loading thousands of them costs quadratic time.
TEST(DatabaseObjectManager, NumberedNamesSpreadOverTheTableBuckets)
{
    std::unordered_map<std::string, int, DatabaseBucketHashStruct> buckets;
    std::set<uint32_t> sampled;
    char name[32];
    for (int number = 0; number < 5000; ++number) {
        std::snprintf(name, sizeof name, "EQUATION_%04d", number);
        buckets.emplace(name, number);
        sampled.insert(static_cast<uint32_t>(DatabaseKeyHashStruct()(name)));
    }
    std::size_t longest = 0;
    for (std::size_t bucket = 0; bucket < buckets.bucket_count(); ++bucket) {
        longest = std::max(longest, buckets.bucket_size(bucket));
    }
    EXPECT_LE(longest, 8u);
    EXPECT_LT(sampled.size(), 100u) << "the exported key hash stays the library's sampled string hash";
    EXPECT_EQ(DatabaseKeyHashStruct()("abc"), 0xDEADC015u);
}

// A table that does not own its objects: Cleanup_Object only records.

class RecordingTable : public DatabaseObjectManagerClass<PerceptionFunctionClass> {
public:
    RecordingTable() : DatabaseObjectManagerClass<PerceptionFunctionClass>("RecordingTable") {}
    ~RecordingTable() override { Cleanup(); }
    using DatabaseObjectManagerClass<PerceptionFunctionClass>::Add_Managed_Object;
    using DatabaseObjectManagerClass<PerceptionFunctionClass>::Cleanup;
    mutable std::vector<PerceptionFunctionClass*> Cleaned;

protected:
    void Cleanup_Object(PerceptionFunctionClass* object) const override { Cleaned.push_back(object); }
};

// Distinct addresses to store; the table never dereferences them.
PerceptionFunctionClass* Fake(int index)
{
    static char storage[16];
    return reinterpret_cast<PerceptionFunctionClass*>(&storage[index]);
}

TEST(DatabaseObjectManager, NamesMatchWithoutRegardToCaseAndKeysReadBackUpperCase)
{
    RecordingTable table;
    table.Add_Managed_Object("abc", Fake(1));
    EXPECT_EQ(table.Get_Managed_Object("ABC"), Fake(1));
    EXPECT_EQ(table.Get_Managed_Object("Abc"), Fake(1));
    unsigned int id = 0;
    ASSERT_TRUE(table.String_To_UInt("aBc", id));
    EXPECT_NE(id, 0u);
    EXPECT_EQ(table.UInt_To_String(id), "ABC");
    ASSERT_NE(table.Get_Iterator(), table.Get_Iterator_End());
    EXPECT_EQ(table.Get_Iterator()->first, "ABC");
}

// A game may run under a single-byte Turkish locale, whose toupper folds "i" to 0xDD: names
// must still match as they do in the "C" locale.
TEST(DatabaseObjectManager, TheHostsLocaleCannotChangeNameMatching)
{
#if defined(_WIN32)
    GTEST_SKIP() << "POSIX only: the Turkish locale is built with localedef";
#else
    char scratch[] = "/tmp/cognexa-locale-XXXXXX";
    ASSERT_NE(mkdtemp(scratch), nullptr);
    const std::string locale_dir = scratch;
    const std::string build = "localedef -c -i tr_TR -f ISO-8859-9 " + locale_dir + "/tr_TR.ISO-8859-9 >/dev/null 2>&1";
    std::system(build.c_str());
    setenv("LOCPATH", scratch, 1);
    const bool turkish = std::setlocale(LC_ALL, "tr_TR.ISO-8859-9") != nullptr;
    unsetenv("LOCPATH");
    std::system(("rm -rf " + locale_dir).c_str());
    if (!turkish) {
        GTEST_SKIP() << "localedef could not build tr_TR.ISO-8859-9 (package locales missing?)";
    }
#endif
    ASSERT_NE(std::toupper('i'), 'I') << "the locale folds i as a Turkish one does";

    RecordingTable table;
    table.Add_Managed_Object("is_visible", Fake(1));
    table.Add_Managed_Object("FIELD", Fake(2));
    const char* const lookups[][2] = {{"IS_VISIBLE", "1"}, {"Is_Visible", "1"}, {"field", "2"}, {"Field", "2"}};
    for (const auto& lookup : lookups) {
        EXPECT_EQ(table.Get_Managed_Object(lookup[0]), Fake(lookup[1][0] - '0')) << lookup[0];
    }
    EXPECT_EQ(table.Get_Iterator()->first, "IS_VISIBLE");
    EXPECT_TRUE(AsciiCharacterTable::Ascii_Equal_Ignoring_Case("clamp", "CLAMP"));
    std::setlocale(LC_ALL, "C");
}

TEST(DatabaseObjectManager, AddingNullOrATakenNameLeavesTheTableUnchanged)
{
    RecordingTable table;
    table.Add_Managed_Object("Name", nullptr);
    EXPECT_EQ(table.Get_Iterator(), table.Get_Iterator_End());
    table.Add_Managed_Object("Name", Fake(1));
    table.Add_Managed_Object("NAME", Fake(2));
    EXPECT_EQ(table.Get_Managed_Object("name"), Fake(1));
    EXPECT_EQ(std::distance(table.Get_Iterator(), table.Get_Iterator_End()), 1);
    EXPECT_TRUE(table.Cleaned.empty()) << "the refused object stays the caller's";
}

TEST(DatabaseObjectManager, RemovalCleansUpAndItsIdBecomesBadValue)
{
    RecordingTable table;
    table.Add_Managed_Object("First", Fake(1));
    table.Add_Managed_Object("Second", Fake(2));
    unsigned int first_id = 0;
    unsigned int second_id = 0;
    ASSERT_TRUE(table.String_To_UInt("First", first_id));
    ASSERT_TRUE(table.String_To_UInt("Second", second_id));
    EXPECT_NE(first_id, second_id);

    EXPECT_FALSE(table.Remove_Managed_Object("Third"));
    EXPECT_TRUE(table.Cleaned.empty());
    EXPECT_TRUE(table.Remove_Managed_Object("first"));
    EXPECT_EQ(table.Cleaned, std::vector<PerceptionFunctionClass*>{Fake(1)});
    EXPECT_EQ(table.UInt_To_String(first_id), "-BAD VALUE-");
    EXPECT_EQ(table.UInt_To_String(second_id), "SECOND");

    // A new object under the old name gets a new id; the old id stays unknown.
    table.Add_Managed_Object("First", Fake(3));
    unsigned int new_id = 0;
    ASSERT_TRUE(table.String_To_UInt("First", new_id));
    EXPECT_NE(new_id, first_id);
    EXPECT_EQ(table.UInt_To_String(first_id), "-BAD VALUE-");

    unsigned int untouched = 77;
    EXPECT_FALSE(table.String_To_UInt("Missing", untouched));
    EXPECT_EQ(untouched, 77u);
}

TEST(DatabaseObjectManager, CleanupVisitsEveryObjectAndEmptiesTheTable)
{
    RecordingTable table;
    for (int index = 0; index < 10; ++index) {
        table.Add_Managed_Object("Item" + std::to_string(index), Fake(index));
    }
    unsigned int id = 0;
    ASSERT_TRUE(table.String_To_UInt("Item3", id));
    table.Cleanup();
    EXPECT_EQ(std::set<PerceptionFunctionClass*>(table.Cleaned.begin(), table.Cleaned.end()).size(), 10u);
    EXPECT_EQ(table.Get_Iterator(), table.Get_Iterator_End());
    EXPECT_EQ(table.UInt_To_String(id), "-BAD VALUE-");
}

TEST(DatabaseObjectManager, ACopySharesObjectsAndIds)
{
    RecordingTable table;
    table.Add_Managed_Object("Shared", Fake(4));
    RecordingTable copy;
    static_cast<DatabaseObjectManagerClass<PerceptionFunctionClass>&>(copy) = table;
    unsigned int original_id = 0;
    unsigned int copied_id = 0;
    ASSERT_TRUE(table.String_To_UInt("Shared", original_id));
    ASSERT_TRUE(copy.String_To_UInt("Shared", copied_id));
    EXPECT_EQ(original_id, copied_id);
    EXPECT_EQ(copy.Get_Managed_Object("shared"), Fake(4));

    for (int index = 0; index < 12; ++index) table.Add_Managed_Object("Item" + std::to_string(11 - index), Fake(index));
    RecordingTable ordered;
    static_cast<DatabaseObjectManagerClass<PerceptionFunctionClass>&>(ordered) = table;
    EXPECT_TRUE(std::equal(table.Get_Iterator(), table.Get_Iterator_End(), ordered.Get_Iterator(),
                           ordered.Get_Iterator_End()))
        << "a copy iterates in the original's order of insertion";
}

TEST(ConverterRegistry, FirstConverterOfANameStaysAndDestructionRemovesIt)
{
    EXPECT_EQ(DatabaseUIntConversionClass::Find_Converter("RecordingTable"), nullptr);
    {
        RecordingTable first;
        RecordingTable second;
        EXPECT_EQ(DatabaseUIntConversionClass::Find_Converter("RecordingTable"), &first);
    }
    EXPECT_EQ(DatabaseUIntConversionClass::Find_Converter("RecordingTable"), nullptr);
}

TEST(PerceptionFunctionManager, CreateReplacesThePointerWithoutDestroyingTheOldRegistry)
{
    ThePerceptionFunctionManagerClass::Create();
    ThePerceptionFunctionManagerClass* first = ThePerceptionFunctionManagerPtr;
    ASSERT_NE(first, nullptr);
    ThePerceptionFunctionManagerClass::Create();
    EXPECT_NE(ThePerceptionFunctionManagerPtr, first);
    EXPECT_EQ(ThePerceptionFunctionManagerPtr->Get_Iterator(), ThePerceptionFunctionManagerPtr->Get_Iterator_End());
    EXPECT_EQ(DatabaseUIntConversionClass::Find_Converter("PerceptionFunctionClass"), first);
    delete ThePerceptionFunctionManagerPtr;
    delete first;
    ThePerceptionFunctionManagerPtr = nullptr;
}

}  // namespace
