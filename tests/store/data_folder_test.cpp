#include "store/data_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "tests/support/temp_dir.h"

using namespace brindle::store;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

struct FolderCase {
    const char* what;
    DataFolderFacts facts;
    const char* path;  // nullptr: no folder
    bool userFolder;
    const char* installedHelp;
};

// An environment variable set for one test and put back afterwards.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace

TEST(DataFolder, theRuleOverWritableProgramFoldersAndTheUsersEnvironment) {
    const FolderCase cases[] = {
        {"a writable build folder keeps its data",
         {"/w/build/app", true, "", "/x/data", "/home/u"},
         "/w/build/app/",
         false,
         ""},
        {"the same without XDG_DATA_HOME or HOME",
         {"/w/build/app/", true, "", "", ""},
         "/w/build/app/",
         false,
         ""},
        {"a folder the user cannot write: XDG_DATA_HOME",
         {"/opt/b/bin", false, "", "/x/data", "/home/u"},
         "/x/data/brindle/",
         true,
         ""},
        {"XDG_DATA_HOME unset: HOME's .local/share",
         {"/opt/b/bin", false, "", "", "/home/u"},
         "/home/u/.local/share/brindle/",
         true,
         ""},
        {"HOME with a trailing slash",
         {"/opt/b/bin", false, "", "", "/home/u/"},
         "/home/u/.local/share/brindle/",
         true,
         ""},
        {"a relative XDG_DATA_HOME is ignored",
         {"/opt/b/bin", false, "", "data", "/home/u"},
         "/home/u/.local/share/brindle/",
         true,
         ""},
        {"installed: the installed help document is offered",
         {"/usr/bin", false, "/usr/share/brindle/", "", "/home/u"},
         "/home/u/.local/share/brindle/",
         true,
         "/usr/share/brindle/helpmacro.rtf"},
        {"installed and writable (root): still the user's folder",
         {"/usr/bin", true, "/usr/share/brindle/", "/root/xdg", "/root"},
         "/root/xdg/brindle/",
         true,
         "/usr/share/brindle/helpmacro.rtf"},
        {"no folder at all", {"/usr/bin", false, "/usr/share/brindle/", "", ""}, nullptr, true, ""},
        {"only a relative HOME", {"/opt/b/bin", false, "", "", "home"}, nullptr, true, ""},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto folder = chooseDataFolder(c.facts);
        if (c.path == nullptr) {
            ASSERT_FALSE(folder);
            EXPECT_NE(folder.message().find("XDG_DATA_HOME"), std::string::npos);
            continue;
        }
        ASSERT_TRUE(folder) << folder.message();
        EXPECT_EQ(folder->path, c.path);
        EXPECT_EQ(folder->userFolder, c.userFolder);
        EXPECT_EQ(folder->installedHelpDocument, c.installedHelp);
    }
}

TEST(DataFolder, aWritableProgramFolderIsTheDataFolderAndNothingIsCreated) {
    TempDir program;
    TempDir xdg;
    ScopedEnv env("XDG_DATA_HOME", xdg.path());
    const auto folder = locateDataFolder(program.path());
    ASSERT_TRUE(folder) << folder.message();
    EXPECT_EQ(folder->path, program.path());
    EXPECT_FALSE(folder->userFolder);
    EXPECT_FALSE(std::filesystem::exists(xdg.file("brindle")));
    EXPECT_EQ(helpDocumentToRead(*folder), program.file("helpmacro.rtf"));
}

TEST(DataFolder, anInstalledProgramUsesTheUsersFolderMadeOnFirstUseAndItsHelpCopyOnceSaved) {
    TempDir root;
    std::filesystem::create_directories(root.file("usr/bin"));
    std::filesystem::create_directories(root.file("usr/share/brindle"));
    writeBytes(root.file("usr/share/brindle/helpmacro.rtf"), "{\\rtf1 installed}");
    ScopedEnv xdg("XDG_DATA_HOME", root.file("home/.data"));

    const DataFolderFacts facts = dataFolderFacts(root.file("usr/bin"));
    EXPECT_EQ(facts.installedShare, root.file("usr/share/brindle/"));
    EXPECT_EQ(facts.xdgDataHome, root.file("home/.data"));

    const auto folder = locateDataFolder(root.file("usr/bin"));
    ASSERT_TRUE(folder) << folder.message();
    EXPECT_EQ(folder->path, root.file("home/.data/brindle/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder->path));
    EXPECT_EQ(readBytes(helpDocumentToRead(*folder)), "{\\rtf1 installed}");

    writeBytes(folder->path + "helpmacro.rtf", "{\\rtf1 mine}");
    EXPECT_EQ(readBytes(helpDocumentToRead(*folder)), "{\\rtf1 mine}");
}

TEST(DataFolder, aUsersFolderThatIsAFileIsRefusedWithItsName) {
    TempDir root;
    std::filesystem::create_directories(root.file("usr/bin"));
    std::filesystem::create_directories(root.file("usr/share/brindle"));
    writeBytes(root.file("data"), "");
    ScopedEnv xdg("XDG_DATA_HOME", root.file("data"));
    const auto folder = locateDataFolder(root.file("usr/bin"));
    ASSERT_FALSE(folder);
    EXPECT_NE(folder.message().find(root.file("data/brindle/")), std::string::npos);
}
