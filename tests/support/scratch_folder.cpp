#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

ScratchFolder::ScratchFolder(bool enter) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") + "/digestor_test.XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "no scratch folder: " << pattern;
        return;
    }
    m_path = pattern;
    if (enter) {
        m_previous = std::filesystem::current_path();
        std::filesystem::current_path(m_path);
    }
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    if (!m_previous.empty()) {
        std::filesystem::current_path(m_previous, ignored);
    }
    if (!m_path.empty()) {
        // Folders a test made unreadable are made readable again, so that they can go.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        for (auto it = std::filesystem::recursive_directory_iterator(
                 m_path, std::filesystem::directory_options::skip_permission_denied, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ignored);
            }
        }
        std::filesystem::remove_all(m_path, ignored);
    }
}

std::string ScratchFolder::write(const std::string& relative, const std::string& bytes) const {
    const std::filesystem::path file = m_path / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << file;
    return file.string();
}

std::string ScratchFolder::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
