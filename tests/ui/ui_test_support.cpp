#include "tests/ui/ui_test_support.h"

#include "engine/file_digest.h"
#include "engine/md5.h"
#include "platform/resources.h"
#include "ui/app_resources.h"

void UiTest::SetUp() {
    registerAppResources();
}

std::string UiTest::writeFile(const std::string& relative, const std::string& bytes) {
    return m_folder.write(relative, bytes);
}

std::string UiTest::readFile(const std::string& path) {
    return ScratchFolder::read(path);
}

std::string md5Hex(const std::string& bytes) {
    Md5Context context;
    context.init();
    context.update(bytes.data(), std::uint32_t(bytes.size()));
    Digest digest;
    context.finish(digest);
    return toHex(digest);
}
