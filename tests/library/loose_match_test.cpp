// The loose macro look-up of Save Combination against the record-by-record
// search it replaces: the same record numbers, and the same record left in
// MacroBuffer.
#include "library/loose_match.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "store/databases.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using brindle::testing::TempDir;

namespace {

// Each name looked up by reading records 1, 2, 3 ... into the buffer until
// one matches (blanks trimmed, case ignored), or all have been read.
std::vector<int32_t> recordByRecord(const std::string& dir, const std::vector<std::string>& names,
                                    store::MacroRecord& buffer) {
    std::vector<int32_t> numbers;
    for (const std::string& name : names) {
        int32_t found = 0;
        for (int32_t n = 1; n <= store::macroCount(dir) && found == 0; ++n) {
            buffer = *store::readMacro(dir, n);
            if (!base::trimBlanks(name).empty() &&
                base::upperAscii(base::trimBlanks(buffer.Name)) ==
                    base::upperAscii(base::trimBlanks(name))) {
                found = n;
            }
        }
        numbers.push_back(found);
    }
    return numbers;
}

class LooseMatch : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"Home", "PICK", " place", "HOME", "DEL", "last"}) {
            store::MacroRecord r;
            r.Name = name;
            r.Body = std::string("body of ") + name;
            r.Reserved = std::string("res ") + name;
            ASSERT_TRUE(store::writeMacro(dir.path(), store::macroCount(dir.path()) + 1, r));
        }
        ASSERT_TRUE(store::deleteMacro(dir.path(), "DEL", scratch));
    }
    TempDir dir;
    store::MacroRecord scratch;
};

}  // namespace

TEST_F(LooseMatch, findsTheSameRecordsAndLeavesTheSameBufferAsTheRecordByRecordSearch) {
    const std::vector<std::vector<std::string>> cases = {
        {"home", "pick", "PLACE  "},  // last name found
        {"PLACE", "nope"},            // last name missing: the whole file was read
        {"  Pick  ", "Home"},         // first of two that differ in case wins
        {""},                         // a blank name is no macro
        {"del"},                      // a deleted name is gone
        {},                           // no lines: the buffer is untouched
    };
    for (const auto& names : cases) {
        store::MacroRecord expectedBuffer;
        expectedBuffer.Name = "untouched";
        store::MacroRecord buffer = expectedBuffer;
        const std::vector<int32_t> expected = recordByRecord(dir.path(), names, expectedBuffer);
        const std::vector<library::LooseMatch> matches =
            library::findMacrosLoosely(dir.path(), names, buffer);
        ASSERT_EQ(matches.size(), names.size());
        for (std::size_t j = 0; j < names.size(); ++j) {
            EXPECT_EQ(matches[j].number, expected[j]) << '"' << names[j] << '"';
        }
        EXPECT_EQ(buffer.encode(), expectedBuffer.encode()) << names.size();
    }
}

TEST_F(LooseMatch, reportsTheStoredNameOfEachMatch) {
    store::MacroRecord buffer;
    auto matches = library::findMacrosLoosely(dir.path(), {"HOME", "PLACE", "x"}, buffer);
    EXPECT_EQ(matches[0].number, 1);
    EXPECT_EQ(matches[0].storedName, "Home        ");
    EXPECT_EQ(matches[1].storedName, " place      ");
    EXPECT_EQ(matches[2].number, 0);
}

TEST(LooseMatchEmpty, anEmptyDatabaseMatchesNothingAndLeavesTheBuffer) {
    TempDir dir;
    store::MacroRecord buffer;
    buffer.Name = "kept";
    auto matches = library::findMacrosLoosely(dir.path(), {"A"}, buffer);
    EXPECT_EQ(matches[0].number, 0);
    EXPECT_EQ(buffer.Name, "kept");
}
