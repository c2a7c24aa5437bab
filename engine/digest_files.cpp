#include "engine/digest_files.h"

#include "engine/ordered_hashing.h"

namespace {

// Paths opened ahead of the one being reported.
constexpr std::size_t QUEUE = 4096;

// The paths as ordered work: each is a file to hash, done in the order of the paths.
class PathFeed : public HashFeed {
public:
    PathFeed(const std::vector<std::string>& paths, Algorithm algorithm, FileDigestSink& sink)
        : paths_(paths), algorithm_(algorithm), sink_(sink) {}

    Step next(std::size_t /*place*/, HashRequest& request) override {
        if (next_ == paths_.size()) {
            return Step::End;
        }
        request.path = paths_[next_++].c_str();
        request.algorithm = algorithm_;
        return Step::Item;
    }
    // Items are done in order, one per path, so the oldest one not done is paths_[done_].
    const char* nameAt(std::size_t /*place*/) const override { return paths_[done_].c_str(); }

    void done(std::size_t /*place*/, const HashOutcome& outcome) override {
        FileDigest result;
        result.opened = outcome.opened;
        result.readError = outcome.readError;
        result.digest = outcome.opened ? outcome.digest : Digest::of(algorithm_);
        const std::size_t index = done_++;
        sink_.fileDigested(index, paths_[index], result);
    }

private:
    const std::vector<std::string>& paths_;
    Algorithm algorithm_;
    FileDigestSink& sink_;
    std::size_t next_ = 0;
    std::size_t done_ = 0;
};

} // namespace

int digestFiles(const std::vector<std::string>& paths, FileDigestSink& sink, WorkMeter* meter,
                Algorithm algorithm) {
    PathFeed feed(paths, algorithm, sink);
    return hashInOrder(feed, QUEUE, meter) ? 0 : DIGEST_STOPPED;
}
