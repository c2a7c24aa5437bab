#include "engine/download_check.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "engine/file_digest.h"
#include "engine/hasher.h"
#include "engine/list_line.h"
#include "engine/verification_report.h"
#include "os/file_stream.h"
#include "os/file_system.h"

namespace {

constexpr std::size_t PIECE = 64 * 1024;
// Lists beside a file are read whole; a "list" larger than this is no list anyone publishes.
constexpr std::int64_t LARGEST_LIST_BESIDE = 64 << 20;

std::string joined(const std::string& folder, const std::string& name) {
    if (folder.empty() || (!name.empty() && name.front() == '/')) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// One digest to compute while the file is read.
struct Reading {
    Algorithm algorithm;
    std::size_t length;
    bool text;
    Digest digest;
};

enum class ReadOutcome { Read, NotOpened, ReadError, Stopped };

// Reads the file at path once, feeding every reading: binary ones the bytes as they are, text
// ones the bytes with the CR of each CR LF pair dropped.
ReadOutcome readOnce(const char* path, const char* name, std::vector<Reading>& readings,
                     WorkMeter* meter) {
    std::int64_t size = -1;
    std::FILE* stream = openFileStream(path, "rb", &size);
    if (stream == nullptr) {
        return ReadOutcome::NotOpened;
    }
    std::vector<std::unique_ptr<Hasher>> hashers;
    bool usable = true;
    for (const Reading& reading : readings) {
        hashers.push_back(std::make_unique<Hasher>());
        usable = hashers.back()->begin(reading.algorithm, reading.length) && usable;
    }
    if (meter != nullptr) {
        meter->beginFile(name, size);
    }
    std::vector<char> piece(PIECE + 1);
    bool heldCr = false;
    std::size_t count = 0;
    while (usable && (count = std::fread(piece.data() + 1, 1, PIECE, stream)) > 0) {
        for (std::size_t i = 0; i < readings.size(); ++i) {
            if (!readings[i].text) {
                hashers[i]->update(piece.data() + 1, count);
            }
        }
        // The text form: a CR held back from the last piece goes in front of this one.
        char* text = piece.data() + (heldCr ? 0 : 1);
        piece[0] = '\r';
        const std::size_t textLength = dropCrBeforeLf(text, count + (heldCr ? 1 : 0), heldCr);
        for (std::size_t i = 0; i < readings.size(); ++i) {
            if (readings[i].text) {
                hashers[i]->update(text, textLength);
            }
        }
        if (meter != nullptr && !meter->advance(count)) {
            std::fclose(stream);
            return ReadOutcome::Stopped;
        }
    }
    const bool failed = !usable || std::ferror(stream) != 0;
    std::fclose(stream);
    for (std::size_t i = 0; i < readings.size(); ++i) {
        if (readings[i].text && heldCr) {
            hashers[i]->update("\r", 1);
        }
        if (usable) {
            hashers[i]->finish(readings[i].digest);
        }
    }
    return failed ? ReadOutcome::ReadError : ReadOutcome::Read;
}

// Whether an entry's name, from the list's folder, is the file fileName of that folder.
bool entryNamesFile(const std::string& folder, const std::string& entryName,
                    const std::string& fileName) {
    if (entryName == fileName || entryName == "./" + fileName) {
        return true;
    }
    const std::size_t slash = entryName.rfind('/');
    if (slash == std::string::npos || entryName.compare(slash + 1, std::string::npos, fileName)) {
        return false;
    }
    // A path that exists names what it names; one that does not is the publisher's own.
    return sameFile(joined(folder, entryName).c_str(), joined(folder, fileName).c_str()) !=
           SameFile::No;
}

int lowerCase(char c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// A bare digest of algorithm ("hex", blanks around it), as "NAME.sha256" files hold it alone.
bool parseBareDigest(std::string_view line, Algorithm algorithm, Digest& digest) {
    while (!line.empty() && std::strchr(" \t\r\n", line.back()) != nullptr) {
        line.remove_suffix(1);
    }
    while (!line.empty() && std::strchr(" \t", line.front()) != nullptr) {
        line.remove_prefix(1);
    }
    const std::size_t bytes = line.size() / 2;
    const bool anyLength = algorithm == Algorithm::Blake2b512;
    if (line.size() % 2 != 0 || bytes == 0 || bytes > MAX_DIGEST_BYTES ||
        (!anyLength && bytes != digestLength(algorithm))) {
        return false;
    }
    digest = Digest::of(algorithm, bytes);
    for (std::size_t i = 0; i < bytes; ++i) {
        const int high = hexDigitValue(lowerCase(line[2 * i]));
        const int low = hexDigitValue(lowerCase(line[2 * i + 1]));
        if (high < 0 || low < 0) {
            return false;
        }
        digest[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return true;
}

// The entries of one list that name fileName; true when the list named it.
bool readListBeside(const std::string& folder, const std::string& listName,
                    const std::string& fileName, std::vector<DownloadEntry>& entries) {
    std::int64_t size = -1;
    std::FILE* stream = openFileStream(joined(folder, listName).c_str(), "r", &size);
    if (stream == nullptr) {
        return false;
    }
    const std::size_t before = entries.size();
    if (size <= LARGEST_LIST_BESIDE) {
        Algorithm ofOneFile;
        const bool oneFile = namesListOfOneFile(listName, fileName, ofOneFile);
        ListReader reader(stream, listName.c_str());
        ListLine line;
        LineKind kind;
        int bare = 0;
        int others = 0;
        Digest bareDigest;
        while ((kind = reader.next(line)) != LineKind::End) {
            if (kind == LineKind::TextEntry || kind == LineKind::BinaryEntry) {
                ++others;
                if (entryNamesFile(folder, line.name, fileName)) {
                    entries.push_back({line.expected, kind == LineKind::TextEntry, listName});
                }
            } else if (kind == LineKind::NotUnderstood) {
                const bool isBare = oneFile && parseBareDigest(line.text, ofOneFile, bareDigest);
                bare += isBare ? 1 : 0;
                others += isBare ? 0 : 1;
            }
        }
        if (bare == 1 && others == 0) {
            entries.push_back({bareDigest, false, listName});
        }
    }
    std::fclose(stream);
    return entries.size() > before;
}

} // namespace

bool readsAsChecksumList(const char* path, const std::string& fileName) {
    if (namesChecksumList(fileName)) {
        return true;
    }
    std::FILE* stream = openFileStream(path, "rb");
    if (stream == nullptr) {
        return true;
    }
    std::string start(LIST_SNIFF_BYTES, '\0');
    start.resize(std::fread(start.data(), 1, start.size(), stream));
    std::fclose(stream);
    if (start.empty() || start.find('\0') != std::string::npos) {
        return false;
    }
    std::FILE* lines = fmemopen(start.data(), start.size(), "r");
    if (lines == nullptr) {
        return true;
    }
    ListReader reader(lines, fileName.c_str());
    ListLine line;
    LineKind kind;
    bool entry = false;
    while (!entry && (kind = reader.next(line)) != LineKind::End) {
        entry = kind == LineKind::TextEntry || kind == LineKind::BinaryEntry;
    }
    std::fclose(lines);
    return entry;
}

std::vector<DownloadEntry> entriesNaming(const std::string& folder, const std::string& fileName,
                                         std::vector<std::string>* listsNaming) {
    std::vector<DownloadEntry> entries;
    std::vector<std::string> lists;
    if (entriesIn(folder.empty() ? "." : folder, lists, namesChecksumList) != 0) {
        return entries;
    }
    for (const std::string& list : lists) {
        if (list != fileName && readListBeside(folder, list, fileName, entries) &&
            listsNaming != nullptr) {
            listsNaming->push_back(list);
        }
    }
    return entries;
}

int checkDownload(const char* path, const std::string& name,
                  const std::vector<DownloadEntry>& entries, ResultSink& sink, bool verbose,
                  bool binary, WorkMeter* meter) {
    // One reading for each kind of digest the entries ask for.
    std::vector<Reading> readings;
    std::vector<std::size_t> readingOf;
    for (const DownloadEntry& entry : entries) {
        const Reading wanted{entry.expected.algorithm, entry.expected.length, entry.text && !binary,
                             Digest{}};
        std::size_t i = 0;
        while (i < readings.size() &&
               (readings[i].algorithm != wanted.algorithm || readings[i].length != wanted.length ||
                readings[i].text != wanted.text)) {
            ++i;
        }
        if (i == readings.size()) {
            readings.push_back(wanted);
        }
        readingOf.push_back(i);
    }
    const ReadOutcome outcome = readOnce(path, name.c_str(), readings, meter);
    const int openError = errno;
    if (outcome == ReadOutcome::Stopped) {
        return VERIFY_STOPPED;
    }
    VerificationReport report(sink, verbose);
    for (std::size_t e = 0; e < entries.size(); ++e) {
        if (outcome == ReadOutcome::NotOpened) {
            report.cantOpen(name, entries[e].expected, openError);
        } else {
            report.hashed(name, entries[e].expected, readings[readingOf[e]].digest,
                          outcome == ReadOutcome::ReadError);
        }
    }
    return report.finish();
}

bool digestFileAt(const char* path, Algorithm algorithm, Digest& digest, WorkMeter* meter,
                  bool& stopped, int& error) {
    std::vector<Reading> readings{{algorithm, 0, false, Digest{}}};
    const ReadOutcome outcome = readOnce(path, path, readings, meter);
    error = outcome == ReadOutcome::NotOpened ? errno : EIO;
    stopped = outcome == ReadOutcome::Stopped;
    digest = readings.front().digest;
    return outcome == ReadOutcome::Read;
}
