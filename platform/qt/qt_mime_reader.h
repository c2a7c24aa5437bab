#pragma once

#include <QByteArray>
#include <string>

#include "platform/ole_drop_target.h"

class QMimeData;

/// What a drag offers, in the framework's terms: the local files of its URI list as the system
/// spells their paths (exact bytes, also for names that are not UTF-8), and its plain text as
/// UTF-8 bytes.
class QtMimeReader {
public:
    static COleDataObject read(const QMimeData* mime);
    /// The local path a "file:" URI names, percent-decoded to bytes; false for other URIs, other
    /// hosts, and paths that could not be opened (empty, or holding a NUL byte).
    static bool localPath(const QByteArray& uri, std::string& path);
};
