// The command line: what each form asks for, and where the answers that need no window go.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace {

// What a command line asks for, in one line: "window", "generate", "help", "version" or
// "misuse: <problem>", then the files.
std::string asked(const std::string& arguments) {
    std::istringstream words(arguments);
    std::vector<std::string> args;
    for (std::string word; words >> word;) {
        args.push_back(word);
    }
    const CommandLine line = parseCommandLine(args, "/home/ann");
    const char* requests[] = {line.generate ? "generate" : "window", "help", "version", "misuse"};
    std::string text = requests[int(line.request)];
    text += line.algorithm ? std::string(" ") + algorithmOptionName(*line.algorithm) : "";
    text += line.problem.empty() ? "" : ": " + line.problem;
    for (const std::string& file : line.files) {
        text += " " + file;
    }
    return text;
}

std::string readBack(std::FILE* stream) {
    std::string text(4096, '\0');
    std::rewind(stream);
    text.resize(std::fread(text.data(), 1, text.size(), stream));
    std::fclose(stream);
    return text;
}

} // namespace

TEST(CommandLine, FormsAndWhatTheyAskFor) {
    EXPECT_EQ(asked(""), "window");
    EXPECT_EQ(asked("sums.md5 /srv/MD5SUMS ../up.md5"),
              "window /home/ann/sums.md5 /srv/MD5SUMS /home/ann/../up.md5");
    EXPECT_EQ(asked("a.iso --generate b/c"), "generate /home/ann/a.iso /home/ann/b/c");
    EXPECT_EQ(asked("--generate"), "generate");
    EXPECT_EQ(asked("-- --help -"), "window /home/ann/--help /home/ann/-");
    EXPECT_EQ(asked("x.md5 --help --bogus"), "help");
    EXPECT_EQ(asked("--version"), "version");
    EXPECT_EQ(asked("--bogus --help"), "misuse: unrecognized option '--bogus'");
    EXPECT_EQ(asked("-g"), "misuse: unrecognized option '-g'");
    EXPECT_EQ(asked("--algorithm=sha256 a -a blake2b"), "window blake2b /home/ann/a");
    EXPECT_EQ(asked("--generate --algorithm sha1"), "generate sha1");
    EXPECT_EQ(asked("-a SHA256"), "misuse: unknown algorithm 'SHA256'");
    EXPECT_EQ(asked("-a crc32b --algorithm=sha3-256 -a blake3"), "window blake3");
    EXPECT_EQ(asked("-a sha3"), "misuse: algorithm 'sha3' needs its length: sha3-224, "
                                "sha3-256, sha3-384 or sha3-512");
    EXPECT_EQ(asked("x -a"), "misuse: option '-a' needs an algorithm");
}

TEST(CommandLine, AnswersWithoutAWindowGoToTheirStreamWithTheirStatus) {
    struct Case {
        const char* argument;
        int status; // -1: none, the window opens
        const char* out;
        const char* err;
    };
    for (const Case& c :
         {Case{"--help", 0, "Usage: digestor [--generate] [--algorithm=NAME] [FILE]...\n", ""},
          Case{"--version", 0, "digestor (Brackwater Digestor) 1.0\n", ""},
          Case{"--bogus", 2, "", "digestor: unrecognized option '--bogus'\nUsage:"},
          Case{"x.md5", -1, "", ""}}) {
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(out != nullptr && err != nullptr);
        const CommandLine line = parseCommandLine({c.argument}, "/");
        EXPECT_EQ(answerWithoutWindow(line, "digestor", out, err).value_or(-1), c.status);
        // The whole of an answer, or its start when it goes on to the usage; else nothing.
        const std::pair<std::string, std::string> streams[] = {{readBack(out), c.out},
                                                               {readBack(err), c.err}};
        for (const auto& [text, start] : streams) {
            EXPECT_EQ(start.empty() ? text : text.substr(0, start.size()), start) << c.argument;
        }
    }
}
