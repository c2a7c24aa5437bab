#include "platform/headless/scoped_headless_backend.h"

ScopedHeadlessBackend::ScopedHeadlessBackend() {
    setBackend(&m_backend);
}

// Uninstalled before the backend's records go, so nothing can reach a dead backend.
ScopedHeadlessBackend::~ScopedHeadlessBackend() {
    setBackend(nullptr);
}
