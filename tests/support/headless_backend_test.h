#pragma once

// A fixture for tests on the headless window system.

#include <gtest/gtest.h>

#include "platform/headless/scoped_headless_backend.h"

/// Installs a fresh HeadlessBackend for each test, with an empty resource table at the start and
/// at the end, so that no template, bitmap or string outlives the test that registered it. The
/// backend is installed before a derived fixture's members are made and uninstalled after they go.
class HeadlessBackendTest : public ::testing::Test {
protected:
    HeadlessBackendTest();
    ~HeadlessBackendTest() override;

    ScopedHeadlessBackend scoped;
    HeadlessBackend& headless = scoped.get();
};
