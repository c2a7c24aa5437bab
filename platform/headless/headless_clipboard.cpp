#include "platform/headless/headless_clipboard.h"

bool HeadlessClipboard::write(HWND owner, const std::string& bytes) {
    if (m_failing) {
        return false;
    }
    m_text = bytes;
    m_hasText = true;
    m_owner = owner;
    ++m_writes;
    return true;
}

bool HeadlessClipboard::read(std::string& text) const {
    if (m_failing || !m_hasText) {
        return false;
    }
    text = m_text;
    return true;
}

void HeadlessClipboard::putText(std::string text) {
    m_text = std::move(text);
    m_hasText = true;
    m_owner = nullptr;
}
