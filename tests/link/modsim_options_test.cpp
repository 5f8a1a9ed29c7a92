#include "sim/modsim_options.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace brindle::sim {
namespace {

std::optional<ModsimConfig> parse(const std::vector<std::string>& args, std::string& error) {
    return parseModsimArguments(args, error);
}

// The arguments of a command line written as one string, split at blanks.
std::optional<ModsimConfig> parseLine(const std::string& line, std::string& error) {
    std::istringstream words(line);
    std::vector<std::string> args;
    for (std::string word; words >> word;) {
        args.push_back(word);
    }
    return parse(args, error);
}

TEST(ModsimOptions, readsEveryTroubleOptionAndTimesInMilliseconds) {
    std::string error;
    const auto c = parseLine(
        "--link /d/com1 --eeprom e.bin --log l.bin --baud 1200 --latency 2.5 --drop 0.25 "
        "--corrupt 1 --seed 99 --sync yes --echo --chatter --drop-second-reads --run-chatters "
        "--chatter-interval 7 --corrupt-bytes 0.01 --stop-after 40 --trickle 0.5 "
        "--bad-checksum 0.5 --corrupt-dump 12 --write-time 10 --fifo 1",
        error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->linkPath, "/d/com1");
    EXPECT_EQ(c->eepromFile, "e.bin");
    EXPECT_EQ(c->logFile, "l.bin");
    EXPECT_EQ(c->module.baud, 1200);
    EXPECT_EQ(c->module.latencyMicros, 2500);
    EXPECT_DOUBLE_EQ(c->module.dropProbability, 0.25);
    EXPECT_DOUBLE_EQ(c->module.corruptProbability, 1.0);
    EXPECT_EQ(c->module.seed, 99u);
    EXPECT_EQ(c->module.syncReply, SyncReply::YesLine);
    EXPECT_TRUE(c->module.echo);
    EXPECT_TRUE(c->module.chatterAtStart);
    EXPECT_TRUE(c->module.dropEverySecondRead);
    EXPECT_TRUE(c->module.runChatters);
    EXPECT_EQ(c->module.chatterIntervalMicros, 7000);
    EXPECT_DOUBLE_EQ(c->module.corruptByteProbability, 0.01);
    EXPECT_EQ(c->module.stopAfterFrames, 40);
    EXPECT_EQ(c->module.trickleIntervalMicros, 500);
    EXPECT_DOUBLE_EQ(c->module.badChecksumProbability, 0.5);
    EXPECT_EQ(c->module.corruptDumpOffset, 12);
    EXPECT_EQ(c->module.writeTimeMicros, 10000);
    EXPECT_EQ(c->fifoBytes, 1);
}

TEST(ModsimOptions, noOptionsGiveAQuietWellBehavedModule) {
    std::string error;
    const auto c = parse({}, error);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->module.baud, 0);
    EXPECT_FALSE(c->module.silent);
    EXPECT_LT(c->module.stopAfterFrames, 0);
    EXPECT_EQ(c->module.corruptByteProbability, 0.0);
    EXPECT_EQ(c->module.syncReply, SyncReply::Frame);
    EXPECT_EQ(c->linkPath, "");
    EXPECT_EQ(c->module.writeTimeMicros, 0);
    EXPECT_EQ(c->fifoBytes, 8);
}

TEST(ModsimOptions, badValuesAndUnknownOptionsAreRefusedWithAReason) {
    for (const char* bad :
         {"--baud fast", "--baud -1", "--drop 1.5", "--corrupt x", "--sync maybe", "--latency -3",
          "--seed 1e3", "--link", "--frobnicate", "--chatter-interval 0", "--corrupt-bytes 2",
          "--stop-after -1", "--stop-after many", "--write-time -2", "--fifo 0", "--fifo x",
          "--fifo"}) {
        std::string error;
        EXPECT_FALSE(parseLine(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

// The help is made from the parser's own table: every option it lists is
// read, with a value exactly when it shows one, and its text keeps one column.
TEST(ModsimOptions, everyOptionTheHelpListsIsReadAsTheHelpShowsIt) {
    const std::map<std::string, std::string> sampleValue = {
        {"PATH", "/tmp/x"}, {"FILE", "f.bin"}, {"N", "3"},
        {"MS", "1.5"},      {"P", "0.5"},      {"frame|yes|none", "none"}};
    std::istringstream usage(modsimUsage());
    std::string line;
    std::getline(usage, line);
    EXPECT_EQ(line, "usage: brindle-modsim [options]");
    int options = 0;
    while (std::getline(usage, line)) {
        ASSERT_GT(line.size(), 25u) << line;
        EXPECT_NE(line[25], ' ') << line;
        EXPECT_EQ(line[24], ' ') << line;
        if (line.rfind("  --", 0) != 0) {
            EXPECT_EQ(line.find_first_not_of(' '), 25u) << line;
            continue;
        }
        std::istringstream words(line.substr(2, 23));
        std::string name;
        std::string value;
        words >> name >> value;
        if (name == "--version") {
            continue;  // answered before the options are read
        }
        ++options;
        std::string error;
        if (value.empty()) {
            EXPECT_TRUE(parse({name}, error)) << name << ": " << error;
            continue;
        }
        ASSERT_EQ(sampleValue.count(value), 1u) << line;
        EXPECT_TRUE(parse({name, sampleValue.at(value)}, error)) << name << ": " << error;
        EXPECT_FALSE(parse({name}, error)) << name;
        EXPECT_EQ(error, name + " needs a value");
    }
    EXPECT_EQ(options, 23);
}

TEST(ModsimOptions, aRefusalNamesTheOptionAndItsValue) {
    std::string error;
    EXPECT_FALSE(parse({"--echo", "--sync", "maybe"}, error));
    EXPECT_EQ(error, "bad value for --sync: maybe");
    EXPECT_FALSE(parse({"--baud", ""}, error));
    EXPECT_EQ(error, "bad value for --baud");
    EXPECT_FALSE(parse({"--echo", "--version"}, error));
    EXPECT_EQ(error, "unknown option --version");
}

}  // namespace
}  // namespace brindle::sim
