#include "engine/list_file.h"

#include <cerrno>
#include <utility>

#include "os/file_stream.h"

ListFile::ListFile(std::string path) : path_(std::move(path)) {}

ListFile::~ListFile() {
    close();
}

bool ListFile::open() {
    if (stream_ == nullptr) {
        stream_ = openFileStream(path_.c_str(), "r");
        error_ = stream_ == nullptr ? errno : 0;
    }
    return stream_ != nullptr;
}

void ListFile::close() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
}

int ListFile::countEntries(WorkMeter* meter) {
    const int entries = countListEntries(stream_, meter);
    // The count read the list to its end (or to an error, which verify will meet and report
    // in its place): back to the start, for verify to read it again through the same open.
    if (std::fseek(stream_, 0, SEEK_SET) != 0) {
        error_ = errno;
        close();
        return -2;
    }
    std::clearerr(stream_);
    return entries;
}

int ListFile::verify(ResultSink& sink, bool verbose, bool binary, WorkMeter* meter) {
    return verifyList(stream_, sink, verbose, binary, meter, path_.c_str());
}
