#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/digest.h"

/// The program's command line: `digestor [--generate] [--algorithm=NAME] [FILE...]`, `--help`,
/// `--version`.
struct CommandLine {
    enum class Request {
        OpenWindow,  ///< the window, with files (if any) to take as one drop once it shows
        ShowHelp,    ///< the usage on standard output
        ShowVersion, ///< the version on standard output
        Misuse,      ///< an unknown option: what went wrong and the usage on standard error
    };

    Request request = Request::OpenWindow;
    bool generate = false;              ///< start in "Generate Checksums" mode
    std::optional<Algorithm> algorithm; ///< the algorithm of new checksums, when one is named
    std::vector<std::string> files;     ///< in the order given; absolute when startFolder was known
    std::string problem;                ///< for Misuse, e.g. "unrecognized option '--frob'"
};

/// Reads args (the arguments after the program's name) from left to right: --help and --version
/// answer at once, an unknown option or algorithm is misuse (--algorithm=NAME, --algorithm NAME
/// and -a NAME take the names cksum -a uses), "--" makes every later argument a file, and "-"
/// alone is a file. A relative file name is taken against startFolder (the folder the program
/// started in), since the window changes its current folder as it works; with an empty
/// startFolder names stay as given.
CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& startFolder);

/// Answers the requests that need no window, naming the program as program: help and version
/// on out (status 0), misuse with the usage on err (status 2). Nothing, and writes nothing, for
/// OpenWindow.
std::optional<int> answerWithoutWindow(const CommandLine& line, const std::string& program,
                                       std::FILE* out, std::FILE* err);
