#include "engine/ordered_hashing.h"

#include <cerrno>
#include <memory>
#include <new>

#include "engine/file_digest.h"
#include "engine/hash_queue.h"
#include "engine/opening_ahead.h"
#include "os/device_class.h"
#include "os/file_stream.h"
#include "os/read_ahead.h"

namespace {

bool outOfDescriptors(int error) {
    return error == EMFILE || error == ENFILE;
}

} // namespace

bool hashInOrder(HashFeed& feed, std::size_t capacity, WorkMeter* meter) {
    auto queue = std::unique_ptr<HashQueue>(new (std::nothrow) HashQueue(capacity));
    if (queue == nullptr || !queue->valid()) {
        return hashOneAtATime(feed, meter);
    }
    // The feed's steps are taken, and their files opened, on another thread ahead of the hashing.
    OpeningAhead ahead(feed, queue->capacity());
    bool ended = false;
    bool holding = false;   // step names a file waiting for a descriptor
    bool readAhead = false; // the read-ahead has been chosen, for the first file's device
    // Whether the file system of the device last seen keeps its files on a local disk: the files
    // of one run are mostly on one device, and asking costs a system call.
    bool deviceKnown = false;
    std::uint64_t lastDevice = 0;
    bool localDisk = false;
    OpeningAhead::Step step;
    for (;;) {
        // 1. Hand back, in order, every item whose outcome is known. Each file's bytes reach
        //    the meter before its outcome, so a stop part-way leaves the file without one.
        while (!queue->empty()) {
            const std::size_t place = queue->front();
            const HashQueue::Front state = queue->settleFront(meter, feed.nameAt(place));
            if (state == HashQueue::Front::Stopped) {
                return false;
            }
            if (state == HashQueue::Front::Hashing) {
                break;
            }
            HashOutcome outcome;
            outcome.opened = queue->frontIsFile();
            if (outcome.opened) {
                outcome.digest = queue->frontDigest();
                outcome.readError = queue->frontReadError();
            } else {
                outcome.error = queue->frontError();
            }
            feed.done(place, outcome);
            queue->pop();
            ahead.done();
        }

        // 2. Take items while a file could start hashing or wait, opened, for a lane; items
        //    with nothing to hash, and files that do not open, wait in the queue for their
        //    turn like the others.
        while ((holding || !ended) && queue->canAddFile()) {
            if (!holding) {
                if (meter != nullptr && !meter->advance(0)) {
                    return false;
                }
                step = ahead.take();
                if (step.step == HashFeed::Step::End) {
                    ended = true;
                    break;
                }
                if (step.step == HashFeed::Step::Nothing) {
                    continue;
                }
                if (step.request.path == nullptr) {
                    queue->add();
                    continue;
                }
            }
            if (step.tried && !holding && step.fd < 0 && outOfDescriptors(step.error)) {
                // The descriptors may be those of files opened ahead: they are given back, and
                // the open is tried again.
                ahead.stopOpening();
                step.tried = false;
            }
            if (!step.tried || holding) {
                step.fd = openReadDescriptor(step.request.path, &step.size, &step.device);
                step.error = step.fd < 0 ? errno : 0;
            }
            const int fd = step.fd;
            const std::int64_t size = step.size;
            const std::uint64_t device = step.device;
            const HashRequest& request = step.request;
            holding = fd < 0 && outOfDescriptors(step.error) && queue->hashing();
            if (holding) {
                queue->shrinkLookAhead();
                break; // a lane that ends closes its file
            }
            if (fd < 0) {
                queue->add(step.error);
                continue;
            }
            if (!readAhead) {
                queue->useReadAhead(readAheadPolicyFor(device));
                readAhead = true;
            }
            if (!deviceKnown || device != lastDevice) {
                localDisk = onLocalDiskFileSystem(fd);
                lastDevice = device;
                deviceKnown = true;
            }
            queue->addFile(fd, size, request.text, request.algorithm, request.length, localDisk);
        }

        // 3. Hash a round, and let the meter in at least once a round.
        if (queue->hashing()) {
            if (!queue->work(meter)) {
                return false;
            }
        } else if (ended && queue->empty()) {
            return true;
        }
    }
}

bool hashOneAtATime(HashFeed& feed, WorkMeter* meter) {
    for (;;) {
        if (meter != nullptr && !meter->advance(0)) {
            return false;
        }
        HashRequest request;
        const HashFeed::Step step = feed.next(0, request);
        if (step == HashFeed::Step::End) {
            return true;
        }
        if (step == HashFeed::Step::Nothing) {
            continue;
        }
        HashOutcome outcome;
        std::int64_t size = -1;
        std::FILE* file = request.path == nullptr
                              ? nullptr
                              : openFileStream(request.path, request.text ? "r" : "rb", &size);
        if (file != nullptr) {
            if (meter != nullptr) {
                meter->beginFile(feed.nameAt(0), size);
            }
            const int read =
                digestStream(file, request.algorithm, outcome.digest, meter, request.length);
            std::fclose(file);
            if (read == DIGEST_STOPPED) {
                return false;
            }
            outcome.opened = true;
            outcome.readError = read != 0;
        } else if (request.path != nullptr) {
            outcome.error = errno;
        }
        feed.done(0, outcome);
    }
}
