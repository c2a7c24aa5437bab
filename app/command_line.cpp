#include "app/command_line.h"

namespace {

constexpr int STATUS_MISUSE = 2;

std::string usage(const std::string& program) {
    return "Usage: " + program +
           " [--generate] [--algorithm=NAME] [FILE]...\n"
           "Computes and verifies checksums in a window: files dropped on it are checked as\n"
           "checksum lists or, in \"Generate Checksums\" mode, hashed.\n"
           "A file that is not a checksum list (a downloaded image, say) is checked against the\n"
           "lists beside it that name it (SHA256SUMS, NAME.sha256, *-CHECKSUM, ...); a list's\n"
           "OpenPGP signature (clearsigned, or LIST.gpg, .sig, .sign, .asc) is verified with gpg\n"
           "against your keyring, offline. With no list naming it, the file's digest is shown.\n"
           "Lists are read in the formats of md5sum, sha1sum, sha224sum, sha256sum, sha384sum,\n"
           "sha512sum and b2sum, with or without --tag, clearsigned CHECKSUM files included;\n"
           "of b3sum, xxhsum and xxh128sum; SHA-3 lists as rhash writes them; SFV files\n"
           "(*.sfv); and tagged lines with base64 digests, as cksum --base64 writes them.\n"
           "FILEs named here are taken as one drop once the window shows.\n"
           "\n"
           "  --generate          start in \"Generate Checksums\" mode: the FILEs are hashed\n"
           "  -a, --algorithm=NAME  the algorithm of new checksums: md5 (the first choice),\n"
           "                      sha1, sha224, sha256, sha384, sha512, blake2b, sha3-224,\n"
           "                      sha3-256, sha3-384, sha3-512, blake3, xxh64, xxh3, xxh128\n"
           "                      or crc32b (CRC32, written as an SFV file)\n"
           "  --help              show this help and exit\n"
           "  --version           show the version and exit\n"
           "  --                  take every later argument as a FILE\n";
}

std::string absoluteIn(const std::string& folder, const std::string& name) {
    if (folder.empty() || name.empty() || name.front() == '/') {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, const std::string& startFolder) {
    CommandLine line;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool namesAlgorithm = arg == "-a" || arg == "--algorithm";
        if (!options || arg.size() < 2 || arg.front() != '-') {
            line.files.push_back(absoluteIn(startFolder, arg));
        } else if (arg == "--") {
            options = false;
        } else if (arg == "--generate") {
            line.generate = true;
        } else if (namesAlgorithm || arg.rfind("--algorithm=", 0) == 0) {
            CommandLine misuse;
            misuse.request = CommandLine::Request::Misuse;
            if (namesAlgorithm && i + 1 == args.size()) {
                misuse.problem = "option '" + arg + "' needs an algorithm";
                return misuse;
            }
            const std::string name = namesAlgorithm ? args[++i] : arg.substr(12);
            Algorithm algorithm;
            if (name == "sha3") {
                // cksum takes SHA-3's length from -l; here the name carries it.
                misuse.problem = "algorithm 'sha3' needs its length: sha3-224, sha3-256, "
                                 "sha3-384 or sha3-512";
                return misuse;
            }
            if (!algorithmFromOptionName(name, algorithm)) {
                misuse.problem = "unknown algorithm '" + name + "'";
                return misuse;
            }
            line.algorithm = algorithm;
        } else {
            // Anything else ends the reading: an answer that needs no window, or misuse.
            CommandLine answer;
            if (arg == "--help") {
                answer.request = CommandLine::Request::ShowHelp;
            } else if (arg == "--version") {
                answer.request = CommandLine::Request::ShowVersion;
            } else {
                answer.request = CommandLine::Request::Misuse;
                answer.problem = "unrecognized option '" + arg + "'";
            }
            return answer;
        }
    }
    return line;
}

std::optional<int> answerWithoutWindow(const CommandLine& line, const std::string& program,
                                       std::FILE* out, std::FILE* err) {
    switch (line.request) {
    case CommandLine::Request::OpenWindow:
        return std::nullopt;
    case CommandLine::Request::ShowHelp:
        std::fputs(usage(program).c_str(), out);
        return 0;
    case CommandLine::Request::ShowVersion:
        std::fputs((program + " (Brackwater Digestor) " DIGESTOR_VERSION "\n").c_str(), out);
        return 0;
    case CommandLine::Request::Misuse:
        std::fprintf(err, "%s: %s\n%s", program.c_str(), line.problem.c_str(),
                     usage(program).c_str());
        return STATUS_MISUSE;
    }
    return std::nullopt;
}
