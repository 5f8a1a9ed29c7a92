// Every program answers --version with its name and version on one line and
// nothing else, and starts no window, port or simulator for it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct Answer {
    int status = -1;
    std::string out;
};

Answer run(const std::string& program, const std::string& arguments) {
    Answer answer;
    const std::string command = "'" + program + "' " + arguments + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return answer;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        answer.out += buffer;
    }
    answer.status = ::pclose(pipe);
    return answer;
}

}  // namespace

TEST(Version, everyProgramPrintsItsNameAndVersionOnOneLine) {
    const std::pair<const char*, const char*> programs[] = {
        {BRINDLE_CLI_PATH, "brindle-cli "},
        {BRINDLE_MODSIM_PATH, "brindle-modsim "},
        {BRINDLE_WINDOW_PATH, "brindle "},
    };
    for (const auto& [path, name] : programs) {
        // The window must answer without a display.
        const Answer answer = run(path, "--version");
        EXPECT_EQ(answer.status, 0) << path;
        ASSERT_EQ(answer.out.rfind(name, 0), 0u) << answer.out;
        const std::string version = answer.out.substr(std::string(name).size());
        EXPECT_GT(version.size(), 1u) << answer.out;
        EXPECT_EQ(version.find('\n'), version.size() - 1) << answer.out;
        EXPECT_NE(version.find('.'), std::string::npos) << answer.out;
    }
}
