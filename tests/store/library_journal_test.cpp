// The library lock and what its holder finishes first: a record write the
// journal holds, an import staged in part or whole, and the temporary files
// of replaces that a crash cut short.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "store/databases.h"
#include "store/library_journal.h"
#include "store/library_lock.h"
#include "tests/support/library_builder.h"
#include "tests/support/temp_dir.h"

using namespace brindle;
using namespace brindle::store;
using brindle::testing::hexBytes;
using brindle::testing::readBytes;
using brindle::testing::TempDir;
using brindle::testing::writeBytes;

namespace {

class LibraryJournal : public ::testing::Test {
  protected:
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            found.insert(entry.path().filename().string());
        }
        return found;
    }
    // Whether another open file of the lock could take it now.
    bool lockIsFree() const {
        const int fd = ::open(dir.file("Library.Lck").c_str(), O_RDONLY | O_CLOEXEC);
        const bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        ::close(fd);
        return free;
    }
    TempDir dir;
};

// A combination record named `name`, everything else as a new record holds.
std::string comboBytes(const std::string& name) {
    ComboRecord record;
    record.Name = name + std::string(16 - name.size(), ' ');
    return record.encode();
}

}  // namespace

TEST_F(LibraryJournal, theLockIsHeldUntilTheLastNestedHolderLetsGo) {
    {
        auto outer = LibraryLock::acquire(dir.path());
        ASSERT_TRUE(outer.ok()) << outer.message();
        EXPECT_FALSE(lockIsFree());
        {
            // A nested lock of the same folder shares the first instead of
            // waiting for it.
            auto inner = LibraryLock::acquire(dir.path());
            ASSERT_TRUE(inner.ok());
            EXPECT_TRUE(holdsLibraryLock(dir.path()));
        }
        EXPECT_FALSE(lockIsFree());
        EXPECT_TRUE(holdsLibraryLock(dir.path()));
    }
    EXPECT_TRUE(lockIsFree());
    EXPECT_FALSE(holdsLibraryLock(dir.path()));
}

TEST_F(LibraryJournal, aFolderThatCannotHoldTheLockIsAFailureThatSaysWhy) {
    auto lock = LibraryLock::acquire(dir.path() + "missing/");
    ASSERT_FALSE(lock.ok());
    EXPECT_EQ(lock.message(), "The data folder " + dir.path() +
                                  "missing/ cannot be locked for writing: cannot create "
                                  "Library.Lck (No such file or directory). Nothing was written.");
}

TEST_F(LibraryJournal, aJournalLeftByACrashIsWrittenWholeBeforeAnyReadAndThenRemoved) {
    brindle::testing::addCombo(dir.path(), "FIRST");
    brindle::testing::addCombo(dir.path(), "SECOND");
    // The crash cut the write of record 2 short after 100 bytes.
    std::string db = readBytes(dir.file("ComboDb.Dat"));
    const std::string wanted = comboBytes("THIRD");
    db.replace(1140, 100, wanted.substr(0, 100));
    writeBytes(dir.file("ComboDb.Dat"), db);
    writeBytes(dir.file("Library.Jnl"),
               "BRINDLEJ" + std::string("C") + hexBytes("02 00 00 00") + wanted);

    EXPECT_EQ(listComboNames(dir.path()),
              (std::vector<std::string>{"FIRST           ", "THIRD           "}));
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")).substr(1140), wanted);
    EXPECT_EQ(names(), (std::set<std::string>{"ComboDb.Dat", "Library.Lck"}));
}

TEST_F(LibraryJournal, aJournalForAnAppendCutShortCompletesTheRecord) {
    brindle::testing::addCombo(dir.path(), "FIRST");
    const std::string wanted = comboBytes("NEXT");
    writeBytes(dir.file("ComboDb.Dat"), readBytes(dir.file("ComboDb.Dat")) + wanted.substr(0, 7));
    writeBytes(dir.file("Library.Jnl"), "BRINDLEJC" + hexBytes("02 00 00 00") + wanted);
    auto lock = LibraryLock::acquire(dir.path());
    ASSERT_TRUE(lock.ok()) << lock.message();
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")).size(), 2280u);
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")).substr(1140), wanted);
}

TEST_F(LibraryJournal, aJournalThatIsNotOneOfOursIsRemovedAndTheDatabaseLeft) {
    brindle::testing::addCombo(dir.path(), "FIRST");
    const std::string db = readBytes(dir.file("ComboDb.Dat"));
    for (const std::string& journal :
         {std::string("BRINDLEJC") + hexBytes("01 00 00 00") + "short",          // wrong length
          std::string("BRINDLEJC") + hexBytes("05 00 00 00") + comboBytes("X"),  // past the end
          std::string("BRINDLEJX") + hexBytes("01 00 00 00") + comboBytes("X"),  // no database
          std::string("OTHERONE") + "C" + hexBytes("01 00 00 00") + comboBytes("X")}) {
        writeBytes(dir.file("Library.Jnl"), journal);
        EXPECT_EQ(listComboNames(dir.path()), std::vector<std::string>{"FIRST           "});
        EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), db);
        EXPECT_FALSE(std::filesystem::exists(dir.file("Library.Jnl")));
    }
}

TEST_F(LibraryJournal, anImportStagedOnlyInPartIsUndoneAndOneStagedWholeIsFinished) {
    const std::string macros = MacroRecord{}.encode();
    const std::string combos = comboBytes("IMPORTED");
    // The macros were staged, the combinations not yet: nothing happened.
    writeBytes(dir.file("MacroDb.new"), macros);
    EXPECT_EQ(listComboNames(dir.path()), std::vector<std::string>{});
    EXPECT_EQ(readBytes(dir.file("MacroDb.Dat")), "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("MacroDb.new")));
    // Both were staged: the import is finished.
    writeBytes(dir.file("MacroDb.new"), macros);
    writeBytes(dir.file("ComboDb.new"), combos);
    EXPECT_EQ(listComboNames(dir.path()), std::vector<std::string>{"IMPORTED        "});
    EXPECT_EQ(readBytes(dir.file("MacroDb.Dat")), macros);
    // The macros were in place already: the combinations follow.
    writeBytes(dir.file("ComboDb.Dat"), "");
    writeBytes(dir.file("ComboDb.new"), combos);
    EXPECT_EQ(listComboNames(dir.path()), std::vector<std::string>{"IMPORTED        "});
    EXPECT_EQ(names(), (std::set<std::string>{"ComboDb.Dat", "Library.Lck", "MacroDb.Dat"}));
}

TEST_F(LibraryJournal, theNextWriteRemovesTemporaryFilesOfTheLockedFilesOnly) {
    for (const char* name : {"MacroDb.Dat.tmp-abc123", "ComboDb.Dat.tmp-XYZ789",
                             "Library.Jnl.tmp-000000", "ZrtCfg.Dat.tmp-q1w2e3",
                             "helpmacro.rtf.tmp-abc123", "MacroDb.Dat.tmp-toolong1", "notes.txt"}) {
        writeBytes(dir.file(name), "x");
    }
    brindle::testing::addMacro(dir.path(), "M", "MACRO 1");
    EXPECT_EQ(names(),
              (std::set<std::string>{"Library.Lck", "MacroDb.Dat", "MacroDb.Dat.tmp-toolong1",
                                     "helpmacro.rtf.tmp-abc123", "notes.txt"}));
}

TEST_F(LibraryJournal, replacingTheLibraryPutsBothDatabasesInPlaceAndLeavesNothingStaged) {
    auto lock = LibraryLock::acquire(dir.path());
    ASSERT_TRUE(lock.ok());
    const std::string macros = MacroRecord{}.encode();
    ASSERT_TRUE(replaceLibrary(dir.path(), macros, comboBytes("C")).ok());
    EXPECT_EQ(readBytes(dir.file("MacroDb.Dat")), macros);
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), comboBytes("C"));
    EXPECT_FALSE(writesWereInterrupted(dir.path()));
    // A database that is a folder is refused before anything is staged.
    std::filesystem::remove(dir.file("ComboDb.Dat"));
    std::filesystem::create_directory(dir.file("ComboDb.Dat"));
    EXPECT_FALSE(replaceLibrary(dir.path(), "", "").ok());
    EXPECT_EQ(readBytes(dir.file("MacroDb.Dat")), macros);
    EXPECT_FALSE(writesWereInterrupted(dir.path()));
}
