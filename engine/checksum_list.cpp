#include "engine/checksum_list.h"

#include <memory>
#include <new>

#include "engine/file_digest.h"
#include "engine/list_line.h"
#include "engine/ordered_hashing.h"
#include "engine/verification_report.h"
#include "os/file_stream.h"

namespace {

// Lines read ahead of the one being reported; they hold the results of files hashed ahead
// while an older one is still being hashed.
constexpr std::size_t QUEUE = 2048;

// A list line read and not yet reported.
struct PendingLine {
    LineKind kind = LineKind::End;
    std::string name;
    Digest expected;
    bool byLength = false; // see ListLine
    bool textMode = false; // hashed in text mode
    std::string text;      // a line not understood, for its diagnostic
};

// Asks the work to stop as its meter does, without counting the bytes hashed again as progress.
class StopOnlyMeter : public WorkMeter {
public:
    explicit StopOnlyMeter(WorkMeter* meter) : meter_(meter) {}
    bool advance(std::uint64_t /*bytes*/) override {
        return meter_ == nullptr || meter_->advance(0);
    }

private:
    WorkMeter* meter_;
};

// An untagged digest in a list whose name does not say its algorithm is read as the usual one of
// its length. A file that does not match it is hashed again with the other cryptographic
// algorithms of that length (64 digits: SHA3-256, then BLAKE3), so that the lists of b3sum and of
// rhash check under any name; expected and actual become those of the one that matches.
bool matchesOtherAlgorithm(const PendingLine& item, WorkMeter* meter, Digest& expected,
                           Digest& actual) {
    for (int i = 0; i < ALGORITHM_COUNT; ++i) {
        const auto algorithm = static_cast<Algorithm>(i);
        if (algorithm == item.expected.algorithm || !algorithmIsCryptographic(algorithm) ||
            digestLength(algorithm) != item.expected.length) {
            continue;
        }
        std::FILE* file = openFileStream(item.name.c_str(), item.textMode ? "r" : "rb");
        if (file == nullptr) {
            return false;
        }
        StopOnlyMeter stopOnly(meter);
        Digest other;
        const int read = digestStream(file, algorithm, other, &stopOnly);
        std::fclose(file);
        expected = item.expected;
        expected.algorithm = algorithm;
        if (read == 0 && other == expected) {
            actual = other;
            return true;
        }
        if (read != 0) {
            return false;
        }
    }
    return false;
}

// The lines of a list as ordered work: every entry is a file to hash, every line not understood
// an item that takes its turn for its diagnostic.
class ListFeed : public HashFeed {
public:
    ListFeed(ListReader& reader, VerificationReport& report, bool binary, PendingLine* pending,
             WorkMeter* meter)
        : reader_(reader), report_(report), binary_(binary), pending_(pending), meter_(meter) {}

    Step next(std::size_t place, HashRequest& request) override {
        switch (reader_.next(line_)) {
        case LineKind::End:
            return Step::End;
        case LineKind::Quiet:
            return Step::Nothing;
        case LineKind::NotUnderstood:
            pending_[place].kind = LineKind::NotUnderstood;
            pending_[place].text = line_.text;
            return Step::Item;
        case LineKind::TextEntry:
        case LineKind::BinaryEntry:
            break;
        }
        PendingLine& item = pending_[place];
        item.kind = line_.kind;
        item.name = line_.name;
        item.expected = line_.expected;
        item.byLength = line_.byLength;
        item.textMode = !binary_ && line_.kind == LineKind::TextEntry;
        request.path = item.name.c_str();
        request.algorithm = item.expected.algorithm;
        request.length = item.expected.length;
        request.text = item.textMode;
        return Step::Item;
    }

    const char* nameAt(std::size_t place) const override { return pending_[place].name.c_str(); }

    void done(std::size_t place, const HashOutcome& outcome) override {
        const PendingLine& item = pending_[place];
        if (item.kind == LineKind::NotUnderstood) {
            report_.notUnderstood(item.text);
            return;
        }
        if (!outcome.opened) {
            report_.cantOpen(item.name, item.expected, outcome.error);
            return;
        }
        Digest expected;
        Digest actual;
        if (item.byLength && !outcome.readError && !(outcome.digest == item.expected) &&
            matchesOtherAlgorithm(item, meter_, expected, actual)) {
            report_.hashed(item.name, expected, actual, false);
            return;
        }
        report_.hashed(item.name, item.expected, outcome.digest, outcome.readError);
    }

private:
    ListReader& reader_;
    VerificationReport& report_;
    bool binary_;
    PendingLine* pending_;
    WorkMeter* meter_;
    ListLine line_;
};

} // namespace

int readListLine(std::FILE* stream, Digest& expected, std::string& name) {
    ListReader reader(stream);
    ListLine line;
    switch (reader.next(line)) {
    case LineKind::End:
        return -1;
    case LineKind::Quiet:
        return 0;
    case LineKind::NotUnderstood:
        std::fprintf(stderr, "md5sum: unrecognized line: %s", line.text.c_str());
        return 0;
    case LineKind::TextEntry:
    case LineKind::BinaryEntry:
        break;
    }
    expected = line.expected;
    name = line.name;
    return line.kind == LineKind::TextEntry ? 1 : 2;
}

int countListEntries(std::FILE* list, WorkMeter* meter) {
    ListReader reader(list);
    ListLine line;
    int entries = 0;
    LineKind kind;
    while ((kind = reader.next(line)) != LineKind::End) {
        if (meter != nullptr && !meter->advance(0)) {
            return -1;
        }
        entries += kind == LineKind::TextEntry || kind == LineKind::BinaryEntry ? 1 : 0;
    }
    return entries;
}

int verifyListOneAtATime(std::FILE* list, ResultSink& sink, bool verbose, bool binary,
                         WorkMeter* meter, const char* listName) {
    ListReader reader(list, listName);
    VerificationReport report(sink, verbose);
    PendingLine pending;
    ListFeed feed(reader, report, binary, &pending, meter);
    if (!hashOneAtATime(feed, meter)) {
        return VERIFY_STOPPED;
    }
    return report.finish();
}

int verifyList(std::FILE* list, ResultSink& sink, bool verbose, bool binary, WorkMeter* meter,
               const char* listName) {
    auto pending = std::unique_ptr<PendingLine[]>(new (std::nothrow) PendingLine[QUEUE]);
    if (pending == nullptr) {
        return verifyListOneAtATime(list, sink, verbose, binary, meter, listName);
    }
    ListReader reader(list, listName);
    VerificationReport report(sink, verbose);
    ListFeed feed(reader, report, binary, pending.get(), meter);
    if (!hashInOrder(feed, QUEUE, meter)) {
        return VERIFY_STOPPED;
    }
    return report.finish();
}
