#include "engine/checksum_list.h"

#include <memory>
#include <new>

#include "engine/list_line.h"
#include "engine/ordered_hashing.h"
#include "engine/verification_report.h"

namespace {

// Lines read ahead of the one being reported; they hold the results of files hashed ahead
// while an older one is still being hashed.
constexpr std::size_t QUEUE = 2048;

// A list line read and not yet reported.
struct PendingLine {
    LineKind kind = LineKind::End;
    std::string name;
    Digest expected;
    std::string text; // a line not understood, for its diagnostic
};

// The lines of a list as ordered work: every entry is a file to hash, every line not understood
// an item that takes its turn for its diagnostic.
class ListFeed : public HashFeed {
public:
    ListFeed(ListReader& reader, VerificationReport& report, bool binary, PendingLine* pending)
        : reader_(reader), report_(report), binary_(binary), pending_(pending) {}

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
        request.path = item.name.c_str();
        request.algorithm = item.expected.algorithm;
        request.length = item.expected.length;
        request.text = !binary_ && line_.kind == LineKind::TextEntry;
        return Step::Item;
    }

    const char* nameAt(std::size_t place) const override { return pending_[place].name.c_str(); }

    void done(std::size_t place, const HashOutcome& outcome) override {
        const PendingLine& item = pending_[place];
        if (item.kind == LineKind::NotUnderstood) {
            report_.notUnderstood(item.text);
        } else if (!outcome.opened) {
            report_.cantOpen(item.name, item.expected, outcome.error);
        } else {
            report_.hashed(item.name, item.expected, outcome.digest, outcome.readError);
        }
    }

private:
    ListReader& reader_;
    VerificationReport& report_;
    bool binary_;
    PendingLine* pending_;
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
    ListFeed feed(reader, report, binary, &pending);
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
    ListFeed feed(reader, report, binary, pending.get());
    if (!hashInOrder(feed, QUEUE, meter)) {
        return VERIFY_STOPPED;
    }
    return report.finish();
}
