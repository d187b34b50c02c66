#include "platform/launcher/RegistryDirectoryClass.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Read(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class RegistryDirectoryTest : public ::testing::Test {
protected:
    RegistryDirectoryTest()
    {
        char pattern[] = "/tmp/vestibar-registry-XXXXXX";
        root_ = ::mkdtemp(pattern);
        directory_ = root_ + "/config/vestibar";
    }
    ~RegistryDirectoryTest() override { std::filesystem::remove_all(root_); }

    std::string root_;
    std::string directory_;
};

}  // namespace

TEST_F(RegistryDirectoryTest, FirstWriteMakesDirectoryAndLaterWritesKeepOtherKeys)
{
    RegistryDirectoryClass registry(directory_);
    RegistryValue value;
    EXPECT_FALSE(registry.Read(RegistryHive::CurrentUser, "A", "V", value));
    ASSERT_TRUE(registry.Write(RegistryHive::CurrentUser, "A", "V", RegistryValue::From_String("one"), true));
    ASSERT_TRUE(registry.Write(RegistryHive::CurrentUser, "B", "W", RegistryValue::From_Dword(2), true));
    ASSERT_TRUE(registry.Write(RegistryHive::CurrentUser, "A", "V", RegistryValue::From_String("two"), false));

    std::string text;
    ASSERT_TRUE(registry.Read(RegistryHive::CurrentUser, "a", "v", value));
    ASSERT_TRUE(value.As_String(text));
    EXPECT_EQ(text, "two");
    EXPECT_TRUE(registry.Read(RegistryHive::CurrentUser, "B", "W", value));
    EXPECT_FALSE(registry.Read(RegistryHive::LocalMachine, "A", "V", value)) << "the hives are separate files";
    EXPECT_EQ(Read(directory_ + "/user.reg"),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"V\"=\"two\"\n\n[HKEY_CURRENT_USER\\B]\n\"W\"=dword:00000002\n");
}

TEST_F(RegistryDirectoryTest, DamagedFileIsNeitherReadNorReplaced)
{
    ASSERT_EQ(::mkdir((root_ + "/config").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(directory_.c_str(), 0755), 0);
    const std::string damaged = "[HKEY_LOCAL_MACHINE\\A]\n\"V\"=dword:1\n";
    std::ofstream(directory_ + "/system.reg") << damaged;

    RegistryDirectoryClass registry(directory_);
    RegistryValue value;
    EXPECT_FALSE(registry.Read(RegistryHive::LocalMachine, "A", "V", value));
    EXPECT_FALSE(registry.Write(RegistryHive::LocalMachine, "A", "V", RegistryValue::From_Dword(2), true));
    EXPECT_EQ(Read(directory_ + "/system.reg"), damaged);
}
