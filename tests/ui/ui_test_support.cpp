#include "tests/ui/ui_test_support.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/resources.h"
#include "ui/app_resources.h"

void UiTest::SetUp() {
    setBackend(&headless);
    Resources::clear();
    registerAppResources();
    m_savedCwd = std::filesystem::current_path();
    char pattern[] = "/tmp/digestor-ui-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    scratch = pattern;
}

void UiTest::TearDown() {
    std::filesystem::current_path(m_savedCwd);
    std::error_code ignored;
    std::filesystem::permissions(scratch, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(scratch, ignored);
    Resources::clear();
    setBackend(nullptr);
}

std::string UiTest::writeFile(const std::string& relative, const std::string& bytes) {
    const std::filesystem::path path = scratch / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::string UiTest::readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}
