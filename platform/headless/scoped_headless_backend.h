#pragma once

#include "platform/headless/headless_backend.h"

/// A HeadlessBackend installed as the backend for the lifetime of this object, for tests.
class ScopedHeadlessBackend {
public:
    ScopedHeadlessBackend();
    ~ScopedHeadlessBackend();
    ScopedHeadlessBackend(const ScopedHeadlessBackend&) = delete;
    ScopedHeadlessBackend& operator=(const ScopedHeadlessBackend&) = delete;

    HeadlessBackend& get() { return m_backend; }
    HeadlessBackend* operator->() { return &m_backend; }
    HeadlessBackend& operator*() { return m_backend; }

private:
    HeadlessBackend m_backend;
};
