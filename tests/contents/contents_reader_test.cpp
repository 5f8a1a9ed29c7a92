// The location reads of the contents reader against the fake module: batches
// of frames sent back to back, and what happens when a reply is missing,
// broken or echoed.
#include "contents/contents_reader.h"

#include <gtest/gtest.h>

#include "sim/fake_link.h"

using namespace brindle;

namespace {

// Locations 16 to 16 + count - 1, each holding its own low byte plus 1.
struct Filled {
    explicit Filled(sim::ModuleOptions options, int count) : link(options) {
        for (int i = 0; i < count; ++i) {
            locations.push_back(16 + i);
            link.module.eeprom()[static_cast<std::size_t>(16 + i)] = static_cast<uint8_t>(17 + i);
        }
    }
    void expectAllKnownAndRight(const contents::ModuleContents& held, const char* name) {
        for (int location : locations) {
            EXPECT_EQ(held.at(location), location + 1) << name << ", location " << location;
        }
    }
    sim::FakeLink link;
    std::vector<int> locations;
};

TEST(ReadLocations, knowsEveryLocationWhateverTheLineDoesToSomeReplies) {
    const struct {
        const char* name;
        void (*trouble)(sim::ModuleOptions&);
        int reads;  // read frames the module got; 0: not checked
    } cases[] = {
        {"a clean line: two batches", [](sim::ModuleOptions&) {}, 20},
        {"echoed frames", [](sim::ModuleOptions& o) { o.echo = true; }, 20},
        // The third reply is missing: its batch is read again one by one.
        {"a dropped reply", [](sim::ModuleOptions& o) { o.dropReads = {3}; }, 20 + 16},
        {"a broken checksum",
         [](sim::ModuleOptions& o) {
             o.badChecksumProbability = 0.05;
             o.seed = 3;
         },
         0},
    };
    for (const auto& c : cases) {
        sim::ModuleOptions options;
        c.trouble(options);
        Filled f(options, 20);
        contents::ModuleContents held;
        contents::readLocations(f.link.ctx, f.locations, held);
        f.expectAllKnownAndRight(held, c.name);
        EXPECT_EQ(held.knownCount(), 20) << c.name;
        if (c.reads > 0) {
            EXPECT_EQ(f.link.module.readsReceived(), c.reads) << c.name;
        }
    }
}

TEST(ReadLocations, aModuleThatNeverAnswersLeavesEverythingUnknown) {
    sim::ModuleOptions options;
    options.silent = true;
    Filled f(options, 3);
    contents::ModuleContents held;
    contents::readLocations(f.link.ctx, f.locations, held);
    EXPECT_EQ(held.knownCount(), 0);
    // The batch, then each location kLocationReadTries times.
    EXPECT_EQ(f.link.module.model().framesReceived(), 3 + 3 * contents::kLocationReadTries);
}

TEST(ReadLocations, everyReplyCorruptedGivesNoValueAtAll) {
    sim::ModuleOptions options;
    options.badChecksumProbability = 1.0;
    Filled f(options, 4);
    contents::ModuleContents held;
    contents::readLocations(f.link.ctx, f.locations, held);
    EXPECT_EQ(held.knownCount(), 0);
}

}  // namespace
