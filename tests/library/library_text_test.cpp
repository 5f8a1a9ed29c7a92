// The plain-text form of the library: quoting, file names and the parsers'
// refusals.
#include "library/library_text.h"

#include <gtest/gtest.h>

using namespace brindle::library;

TEST(LibraryText, textsAreQuotedWithTrailingBlanksLeftOffAndOtherBytesEscaped) {
    const std::pair<std::string, std::string> cases[] = {
        {"HOME        ", "\"HOME\""},
        {"  LEAD", "\"  LEAD\""},
        {"say \"hi\" \\", "\"say \\\"hi\\\" \\\\\""},
        {std::string("a\tb\r\n\x7f\xe9\0", 8), "\"a\\x09b\\x0D\\x0A\\x7F\\xE9\\x00\""},
        {"    ", "\"\""},
    };
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(quoteText(text), quoted);
    }
}

TEST(LibraryText, fileNamesCannotLeaveTheFolder) {
    const std::pair<std::string, std::string> cases[] = {
        {"HOME        ", "HOME.txt"},  {"a/b", "a%2Fb.txt"},         {"..", "%2E..txt"},
        {".hidden", "%2Ehidden.txt"},  {"50%", "50%25.txt"},         {"  two", "%20%20two.txt"},
        {"C:\\x~", "C%3A%5Cx%7E.txt"}, {"\xe9t\xe9", "%E9t%E9.txt"},
    };
    for (const auto& [name, file] : cases) {
        EXPECT_EQ(macroFileName(name), file);
        EXPECT_TRUE(safeMacroFileName(file));
    }
    for (const char* unsafe : {"", "../x.txt", "a/b.txt", ".txt", "..", "a b.txt"}) {
        EXPECT_FALSE(safeMacroFileName(unsafe)) << unsafe;
    }
}

TEST(LibraryText, combinationsAreWrittenAsReadableBlocks) {
    TextCombination c{"LINE 1", "v1", "two\r\nlines", -3, 2, {{1, "HOME"}, {4, std::nullopt}}};
    EXPECT_EQ(writeCombinations({c}),
              "# Brindle combinations, in record order: fields, then the sequence as position "
              "and\n"
              "# macro name (\"deleted\" for a slot whose macro was deleted).\n"
              "\n"
              "combination \"LINE 1\"\n"
              "version \"v1\"\n"
              "description \"two\\x0D\\x0Alines\"\n"
              "node -3\n"
              "boot 2\n"
              "1 \"HOME\"\n"
              "4 deleted\n"
              "end\n");
}

TEST(LibraryText, whatIsWrittenIsReadBack) {
    std::vector<TextMacro> macros = {{"a/b", "a%2Fb.txt", ""}, {"  X\"", "x.txt", "res\x01"}};
    auto index = parseMacroIndex(writeMacroIndex(macros));
    ASSERT_TRUE(index) << index.message();
    ASSERT_EQ(index->size(), 2u);
    EXPECT_EQ((*index)[0].name, "a/b");
    EXPECT_EQ((*index)[1].name, "  X\"");
    EXPECT_EQ((*index)[1].file, "x.txt");
    EXPECT_EQ((*index)[1].reserved, "res\x01");

    std::vector<TextCombination> combos = {
        {"A", "", "", 0, 0, {}},
        {"  B", "v\\", "d", 32767, -32768, {{256, "a/b"}, {1, std::nullopt}}}};
    auto back = parseCombinations(writeCombinations(combos));
    ASSERT_TRUE(back) << back.message();
    ASSERT_EQ(back->size(), 2u);
    const TextCombination& b = (*back)[1];
    EXPECT_EQ(b.name, "  B");
    EXPECT_EQ(b.version, "v\\");
    EXPECT_EQ(b.node, 32767);
    EXPECT_EQ(b.boot, -32768);
    ASSERT_EQ(b.slots.size(), 2u);
    EXPECT_EQ(b.slots[0].position, 256);
    EXPECT_EQ(b.slots[0].macro, "a/b");
    EXPECT_FALSE(b.slots[1].macro);
}

TEST(LibraryText, damagedFilesAreRefusedNamingTheLine) {
    const std::pair<const char*, const char*> combos[] = {
        {"combination \"A\"\nversion \"\"\ndescription \"\"\nnode 1\nboot 0\n",
         "combinations.txt line 1: the combination has no end line."},
        {"combination \"A\"\nversion \"\"\nnode 1\nboot 0\nend\n",
         "combinations.txt line 5: the combination lacks one of version, description, node, "
         "boot."},
        {"\n# note\ncombination \"A\"\nnode 40000\n",
         "combinations.txt line 4: expected one node with a whole number from -32768 to 32767."},
        {"combination \"A\"\n257 \"X\"\n",
         "combinations.txt line 2: expected a position from 1 to 256 or a field name."},
        {"combination \"A\"\n1 \"X\"\n1 \"Y\"\n",
         "combinations.txt line 3: position 1 is given twice."},
        {"combination \"A\"\n1 X\n",
         "combinations.txt line 2: expected a quoted macro name or deleted after the position."},
        {"combination \"A\nend\n", "combinations.txt line 1: a quoted text is not closed."},
        {"combination \"\\q\"\n", "combinations.txt line 1: an unknown escape after \\."},
        {"version \"1\"\n", "combinations.txt line 1: expected combination \"NAME\"."},
    };
    for (const auto& [text, message] : combos) {
        auto parsed = parseCombinations(text);
        EXPECT_FALSE(parsed) << text;
        EXPECT_EQ(parsed.message(), message);
    }
    using namespace std::string_literals;
    const std::pair<std::string, std::string> indexes[] = {
        {"\"A\" ../../etc/passwd\n",
         "macros.txt line 1: the file name \"../../etc/passwd\" is not one an export writes."},
        // Control bytes of a word are shown escaped, never as they are.
        {"\"A\" a\0\x1B.txt\n"s,
         "macros.txt line 1: the file name \"a\\x00\\x1B.txt\" is not one an export writes."},
        {"\"A\"\n",
         "macros.txt line 1: expected a quoted name, a file name and optionally reserved "
         "\"BYTES\"."},
        {"A a.txt\n",
         "macros.txt line 1: expected a quoted name, a file name and optionally reserved "
         "\"BYTES\"."},
    };
    for (const auto& [text, message] : indexes) {
        auto parsed = parseMacroIndex(text);
        EXPECT_FALSE(parsed) << text;
        EXPECT_EQ(parsed.message(), message);
    }
}
