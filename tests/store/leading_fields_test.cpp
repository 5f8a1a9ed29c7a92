// Remembered name scans: used while the file is unchanged, dropped by any
// change, and never taken from a file changed just before the scan.
#include "store/leading_fields.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "base/files.h"
#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;
using Names = std::vector<std::string>;

namespace {

// While it lives, scans start three seconds after the real time: every file
// written so far is old enough to be remembered.
struct ClockThreeSecondsAhead {
    ClockThreeSecondsAhead() {
        store::setLeadingFieldsClock([] { return std::time(nullptr) + 3; });
    }
    ~ClockThreeSecondsAhead() { store::setLeadingFieldsClock(nullptr); }
    ClockThreeSecondsAhead(const ClockThreeSecondsAhead&) = delete;
    ClockThreeSecondsAhead& operator=(const ClockThreeSecondsAhead&) = delete;
};

}  // namespace

TEST(LeadingFields, aScanIsRememberedOnlyForAnOldFileAndDroppedByAnyChange) {
    TempDir dir;
    const std::string macros = store::macroDbPath(dir.path());
    const std::string combos = store::comboDbPath(dir.path());
    brindle::testing::addMacro(dir.path(), "A");
    brindle::testing::addMacro(dir.path(), "B");
    brindle::testing::addCombo(dir.path(), "C");
    EXPECT_EQ(store::macroNameFields(dir.path()), (Names{"A           ", "B           "}));
    // Changed within the last two seconds: not remembered.
    EXPECT_FALSE(store::leadingFieldsRemembered(macros));

    const ClockThreeSecondsAhead later;
    EXPECT_EQ(store::macroNameFields(dir.path()), (Names{"A           ", "B           "}));
    EXPECT_EQ(store::comboNameFields(dir.path()), Names{"C               "});
    ASSERT_TRUE(store::leadingFieldsRemembered(macros));
    ASSERT_TRUE(store::leadingFieldsRemembered(combos));

    // Another program renames record 2 in place, the size unchanged.
    std::string bytes = readBytes(macros);
    bytes.replace(16360, 1, "X");
    writeBytes(macros, bytes);
    EXPECT_EQ(store::macroNameFields(dir.path()), (Names{"A           ", "X           "}));
    EXPECT_EQ(store::FindMacro(dir.path(), "X", *std::make_unique<store::MacroRecord>()), 2);

    // This program's own write drops the scan at once.
    store::ComboRecord renamed;
    renamed.Name = "D";
    ASSERT_TRUE(store::writeCombo(dir.path(), 1, renamed));
    EXPECT_FALSE(store::leadingFieldsRemembered(combos));
    EXPECT_EQ(store::FindCombo(dir.path(), "D")->number, 1);

    // A file put in place by a rename is another file.
    ASSERT_TRUE(base::replaceFile(macros, bytes.substr(0, 16360)));
    EXPECT_EQ(store::macroNameFields(dir.path()), Names{"A           "});
}

TEST(LeadingFields, aPipeInPlaceOfTheDatabaseGivesNoNamesWithoutWaiting) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(store::macroDbPath(dir.path()).c_str(), 0644), 0);
    EXPECT_TRUE(store::macroNameFields(dir.path()).empty());
    store::MacroRecord buffer;
    EXPECT_FALSE(store::FindMacro(dir.path(), "A", buffer));
}
