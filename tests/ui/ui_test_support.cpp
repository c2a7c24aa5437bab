#include "tests/ui/ui_test_support.h"

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
