#include "engine/digest_files.h"

#include <memory>
#include <new>

#include "engine/file_digest.h"
#include "engine/hash_window.h"
#include "os/file_stream.h"

namespace {

// Paths opened ahead of the one being reported.
constexpr std::size_t WINDOW = 4096;

// One file after the other, for when the window's memory cannot be had.
int digestOneAtATime(const std::vector<std::string>& paths, FileDigestSink& sink,
                     WorkMeter* meter) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (meter != nullptr && !meter->advance(0)) {
            return DIGEST_STOPPED;
        }
        FileDigest result;
        std::int64_t size = -1;
        std::FILE* file = openFileStream(paths[i].c_str(), "rb", &size);
        if (file != nullptr) {
            if (meter != nullptr) {
                meter->beginFile(paths[i].c_str(), size);
            }
            const int read = digestStream(file, result.digest, meter);
            std::fclose(file);
            if (read == DIGEST_STOPPED) {
                return DIGEST_STOPPED;
            }
            result.opened = true;
            result.readError = read != 0;
        }
        sink.fileDigested(i, paths[i], result);
    }
    return 0;
}

} // namespace

int digestFiles(const std::vector<std::string>& paths, FileDigestSink& sink, WorkMeter* meter) {
    auto window = std::unique_ptr<HashWindow>(new (std::nothrow) HashWindow(WINDOW));
    if (window == nullptr || !window->valid()) {
        return digestOneAtATime(paths, sink, meter);
    }
    // Each path is one item of the window, so an item's number is its path's index.
    std::size_t next = 0;
    for (;;) {
        // 1. Report, in order, every path whose outcome is known.
        while (!window->empty()) {
            const std::size_t index = static_cast<std::size_t>(window->frontNumber());
            const HashWindow::Front state = window->settleFront(meter, paths[index].c_str());
            if (state == HashWindow::Front::Stopped) {
                return DIGEST_STOPPED;
            }
            if (state == HashWindow::Front::Hashing) {
                break;
            }
            FileDigest result;
            result.opened = window->frontIsFile();
            if (result.opened) {
                result.digest = window->frontDigest();
                result.readError = window->frontReadError();
            }
            sink.fileDigested(index, paths[index], result);
            window->pop();
        }
        // 2. Open on while a file could start hashing.
        while (next < paths.size() && window->canAddFile()) {
            if (meter != nullptr && !meter->advance(0)) {
                return DIGEST_STOPPED;
            }
            std::int64_t size = -1;
            const int fd = openReadDescriptor(paths[next].c_str(), &size);
            if (fd < 0) {
                window->add();
            } else {
                window->addFile(fd, size, false);
            }
            ++next;
        }
        // 3. Hash a round.
        if (window->hashing()) {
            if (!window->work(meter)) {
                return DIGEST_STOPPED;
            }
        } else if (next == paths.size() && window->empty()) {
            return 0;
        }
    }
}
