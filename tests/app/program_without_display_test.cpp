// The built program started without a display: it says so and ends with status 1 before the
// toolkit starts (which would abort), while --help and --version need no display at all.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/scratch_folder.h"

namespace {

struct Start {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> environment; ///< the whole environment the program gets
    int status;
    const char* out; ///< found in what it writes to stdout
    const char* err; ///< found in what it writes to stderr
};

// Names the case, rather than its bytes, in the test's listing.
void PrintTo(const Start& start, std::ostream* out) {
    *out << start.name;
}

// The program's output goes to files in a scratch folder of the test's own.
class ProgramWithoutDisplayTest : public testing::TestWithParam<Start> {
protected:
    ScratchFolder folder;
};

} // namespace

TEST_P(ProgramWithoutDisplayTest, AnswersWithoutAborting) {
    const Start& start = GetParam();
    const std::string out = folder / "out";
    const std::string err = folder / "err";
    posix_spawn_file_actions_t files;
    ASSERT_EQ(posix_spawn_file_actions_init(&files), 0);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT, 0600);

    std::vector<std::string> words = {DIGESTOR_PROGRAM};
    words.insert(words.end(), start.args.begin(), start.args.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = start.environment;
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, DIGESTOR_PROGRAM, &files, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), start.status);
    const std::string said = ScratchFolder::read(out);
    const std::string complained = ScratchFolder::read(err);
    EXPECT_NE(said.find(start.out), std::string::npos) << said;
    EXPECT_NE(complained.find(start.err), std::string::npos) << complained;
}

INSTANTIATE_TEST_SUITE_P(
    Starts, ProgramWithoutDisplayTest,
    testing::Values(
        Start{"NothingSet", {}, {}, 1, "", "no display"},
        Start{"OnlyTheX11PlatformNamed", {"a.md5"}, {"QT_QPA_PLATFORM=xcb"}, 1, "", "no display"},
        Start{"Help", {"--help"}, {}, 0, "Usage:", ""},
        Start{"Version", {"--version"}, {}, 0, "1.0", ""}),
    [](const testing::TestParamInfo<Start>& info) { return std::string(info.param.name); });
