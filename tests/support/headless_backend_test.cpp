#include "tests/support/headless_backend_test.h"

#include "platform/resources.h"

HeadlessBackendTest::HeadlessBackendTest() {
    Resources::clear();
}

HeadlessBackendTest::~HeadlessBackendTest() {
    Resources::clear();
}
