// The library lock and what a writer's lock finishes first: a record write
// the journal holds, an import its journal records, and the temporary files
// of replaces that a crash cut short; and the files that have a journal's or
// a database's name but are not used.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

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

std::string sealed(const std::string& body) {
    return brindle::testing::sealedJournal(body);
}

std::string replaceJournal(const std::string& macros, const std::string& combos) {
    using brindle::testing::fnv1a64;
    using brindle::testing::le64;
    return sealed("BRINDLEJR" + le64(macros.size()) + le64(fnv1a64(macros)) + le64(combos.size()) +
                  le64(fnv1a64(combos)));
}

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

TEST_F(LibraryJournal, aJournalLeftByACrashIsWrittenWholeByTheNextWriterNeverByAReader) {
    brindle::testing::addCombo(dir.path(), "FIRST");
    brindle::testing::addCombo(dir.path(), "SECOND");
    // The crash cut the write of record 2 short after 100 bytes.
    std::string db = readBytes(dir.file("ComboDb.Dat"));
    const std::string wanted = comboBytes("THIRD");
    db.replace(1140, 100, wanted.substr(0, 100));
    writeBytes(dir.file("ComboDb.Dat"), db);
    writeBytes(dir.file("Library.Jnl"), sealed("BRINDLEJC" + hexBytes("02 00 00 00") + wanted));
    takeLibraryNotes();

    // A listing renames and writes nothing; it says that the write waits.
    listComboNames(dir.path());
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), db);
    EXPECT_TRUE(writesWereInterrupted(dir.path()));
    EXPECT_EQ(takeLibraryNotes(),
              std::vector<std::string>{"A write to the library in " + dir.path() +
                                       " was interrupted; it waits to be finished by the next "
                                       "writer, and what is shown here may not include it."});
    ASSERT_TRUE(LibraryLock::acquire(dir.path()).ok());
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")).substr(1140), wanted);
    EXPECT_EQ(names(), (std::set<std::string>{"ComboDb.Dat", "Library.Lck"}));
}

TEST_F(LibraryJournal, aJournalForAnAppendCutShortCompletesTheRecord) {
    brindle::testing::addCombo(dir.path(), "FIRST");
    const std::string wanted = comboBytes("NEXT");
    writeBytes(dir.file("ComboDb.Dat"), readBytes(dir.file("ComboDb.Dat")) + wanted.substr(0, 7));
    writeBytes(dir.file("Library.Jnl"), sealed("BRINDLEJC" + hexBytes("02 00 00 00") + wanted));
    auto lock = LibraryLock::acquire(dir.path());
    ASSERT_TRUE(lock.ok()) << lock.message();
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")).size(), 2280u);
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")).substr(1140), wanted);
}

TEST_F(LibraryJournal, aJournalThatIsNotOneOfOursIsLeftInPlaceReportedOnceAndNotUsed) {
    const std::string good = sealed("BRINDLEJC" + hexBytes("01 00 00 00") + comboBytes("X"));
    std::string badSum = good;
    badSum.back() ^= 1;
    TempDir outside;
    writeBytes(outside.file("journal"), good);
    const std::string notOurs = "it is not a journal of a write this program made";
    const struct {
        std::string journal;  // empty: a link to a good journal outside
        std::string why;
    } cases[] = {
        {sealed("BRINDLEJC" + hexBytes("01 00 00 00") + "short"), notOurs},
        {sealed("BRINDLEJX" + hexBytes("01 00 00 00") + comboBytes("X")), notOurs},
        {sealed("OTHERONEC" + hexBytes("01 00 00 00") + comboBytes("X")), notOurs},
        {badSum, notOurs},
        {"BRINDLEJC" + hexBytes("01 00 00 00") + comboBytes("X"), notOurs},  // no checksum
        {sealed("BRINDLEJC" + hexBytes("05 00 00 00") + comboBytes("X")),
         "it writes record 5, past the end of ComboDb.Dat"},
        {"", "it is a symbolic link"},
    };
    for (const auto& c : cases) {
        // A folder of its own: each note is reported once per process.
        TempDir data;
        brindle::testing::addCombo(data.path(), "FIRST");
        const std::string db = readBytes(data.file("ComboDb.Dat"));
        if (c.journal.empty()) {
            std::filesystem::create_symlink(outside.file("journal"), data.file("Library.Jnl"));
        } else {
            writeBytes(data.file("Library.Jnl"), c.journal);
        }
        const std::string note = "A leftover file " + data.file("Library.Jnl") +
                                 " was not used: " + c.why + ". It was left in place.";
        for (int again = 0; again < 2; ++again) {
            ASSERT_TRUE(LibraryLock::acquire(data.path()).ok());
            EXPECT_EQ(readBytes(data.file("ComboDb.Dat")), db);
            EXPECT_TRUE(
                std::filesystem::exists(std::filesystem::symlink_status(data.file("Library.Jnl"))));
            // Reported the first time only.
            const auto notes = takeLibraryNotes();
            EXPECT_EQ(notes,
                      again == 0 ? std::vector<std::string>{note} : std::vector<std::string>{})
                << c.why;
        }
    }
    EXPECT_EQ(readBytes(outside.file("journal")), good);
}

TEST_F(LibraryJournal, filesStagedWithoutAJournalOfOursAreNeverRenamedOverTheDatabases) {
    brindle::testing::addMacro(dir.path(), "KEEP", "MACRO 1");
    brindle::testing::addCombo(dir.path(), "KEPT");
    const std::string macros = readBytes(dir.file("MacroDb.Dat"));
    const std::string combos = readBytes(dir.file("ComboDb.Dat"));
    TempDir outside;
    writeBytes(outside.file("secret"), "outside");
    std::filesystem::create_symlink(outside.file("secret"), dir.file("MacroDb.new"));
    writeBytes(dir.file("ComboDb.new"), "stray");
    takeLibraryNotes();

    listComboNames(dir.path());
    ASSERT_TRUE(LibraryLock::acquire(dir.path()).ok());
    brindle::testing::addCombo(dir.path(), "ADDED");
    EXPECT_EQ(readBytes(dir.file("MacroDb.Dat")), macros);
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), combos + comboBytes("ADDED"));
    EXPECT_EQ(readBytes(outside.file("secret")), "outside");
    EXPECT_EQ(readBytes(dir.file("ComboDb.new")), "stray");
    const std::string why =
        " was not used: no journal of an interrupted write of this program "
        "names it. It was left in place.";
    EXPECT_EQ(takeLibraryNotes(),
              (std::vector<std::string>{"A leftover file " + dir.file("MacroDb.new") + why,
                                        "A leftover file " + dir.file("ComboDb.new") + why}));
}

TEST_F(LibraryJournal, anImportIsFinishedOnlyWithTheFilesItsJournalRecorded) {
    const std::string macros = MacroRecord{}.encode();
    const std::string combos = comboBytes("IMPORTED");
    const std::string journal = replaceJournal(macros, combos);
    // Both staged, the journal written: the import is finished.
    writeBytes(dir.file("MacroDb.new"), macros);
    writeBytes(dir.file("ComboDb.new"), combos);
    writeBytes(dir.file("Library.Jnl"), journal);
    listComboNames(dir.path());
    EXPECT_EQ(readBytes(dir.file("ComboDb.new")), combos);  // a reader renames nothing
    ASSERT_TRUE(LibraryLock::acquire(dir.path()).ok());
    EXPECT_EQ(readBytes(dir.file("MacroDb.Dat")), macros);
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), combos);
    EXPECT_EQ(names(), (std::set<std::string>{"ComboDb.Dat", "Library.Lck", "MacroDb.Dat"}));
    // The macros were in place already: the combinations follow.
    writeBytes(dir.file("ComboDb.Dat"), "");
    writeBytes(dir.file("ComboDb.new"), combos);
    writeBytes(dir.file("Library.Jnl"), journal);
    ASSERT_TRUE(LibraryLock::acquire(dir.path()).ok());
    EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), combos);
    EXPECT_EQ(names(), (std::set<std::string>{"ComboDb.Dat", "Library.Lck", "MacroDb.Dat"}));

    // Staged files that are not the ones recorded are left; neither is used.
    std::string altered = combos;
    altered[0] = 'J';
    const std::string partial = combos.substr(0, 1000);
    for (const std::string& staged : {altered, partial}) {
        writeBytes(dir.file("MacroDb.new"), macros);
        writeBytes(dir.file("ComboDb.new"), staged);
        writeBytes(dir.file("Library.Jnl"), replaceJournal(macros, combos));
        takeLibraryNotes();
        ASSERT_TRUE(LibraryLock::acquire(dir.path()).ok());
        EXPECT_EQ(readBytes(dir.file("ComboDb.Dat")), combos);
        EXPECT_EQ(readBytes(dir.file("ComboDb.new")), staged);
        const auto notes = takeLibraryNotes();
        ASSERT_FALSE(notes.empty());
        EXPECT_EQ(
            notes.back(),
            "A leftover file " + dir.file("ComboDb.new") + " was not used: " +
                (staged == partial ? "its length is not a whole number of records"
                                   : "it is not the file that the interrupted write staged (its "
                                     "length or checksum differs)") +
                ". It was left in place.");
        std::filesystem::remove(dir.file("MacroDb.new"));
        std::filesystem::remove(dir.file("ComboDb.new"));
    }
}

TEST_F(LibraryJournal, aLinkAtADatabaseNameIsRefusedByReadersAndWritersAndNeverFollowed) {
    TempDir outside;
    writeBytes(outside.file("target"), comboBytes("OUTSIDE"));
    std::filesystem::create_symlink(outside.file("target"), dir.file("ComboDb.Dat"));
    const std::string why = dir.file("ComboDb.Dat") +
                            " is a symbolic link, which is never followed, not a regular file.";
    EXPECT_EQ(checkDatabases(dir.path()).message(), why);
    EXPECT_TRUE(checkDatabases(dir.path(), true, false).ok());
    EXPECT_EQ(listComboNames(dir.path()), std::vector<std::string>{});
    const base::Status written = writeCombo(dir.path(), 2, ComboRecord{});
    EXPECT_EQ(written.message().rfind(
                  "Cannot write record 2 of " + dir.file("ComboDb.Dat") + ": " + why, 0),
              0u)
        << written.message();
    EXPECT_FALSE(deleteCombo(dir.path(), "OUTSIDE").ok());
    EXPECT_FALSE(replaceLibrary(dir.path(), "", "").ok());
    EXPECT_EQ(readBytes(outside.file("target")), comboBytes("OUTSIDE"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("ComboDb.Dat")));
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
