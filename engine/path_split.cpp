#include "engine/path_split.h"

void splitDroppedPath(const std::string& path, std::string& folder, std::string& fileName) {
    folder = path;
    fileName = path;
    if (path.size() < 2) {
        return;
    }
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0) {
        return;
    }
    fileName = path.substr(slash + 1);
    if (slash >= 2) {
        folder = path.substr(0, slash);
    }
}
