#pragma once

#include <string>

#include "platform/win_types.h"

/// The headless clipboard: plain text, byte for byte. A test can make it fail to open, as when
/// another program holds it.
class HeadlessClipboard {
public:
    /// Replaces the content with bytes, owned by owner; false (content kept) while failing.
    bool write(HWND owner, const std::string& bytes);
    /// The text; false (text unchanged) while failing or when the clipboard holds none.
    bool read(std::string& text) const;

    /// While failing, the clipboard cannot be opened: reads and writes fail, the content stays.
    void setFailing(bool failing) { m_failing = failing; }
    /// Puts text on the clipboard as another program would: it has no owner among the windows.
    void putText(std::string text);

    /// The clipboard's text and whether it holds any.
    const std::string& text() const { return m_text; }
    bool hasText() const { return m_hasText; }
    /// The window that wrote the text last.
    HWND owner() const { return m_owner; }
    /// Successful writes.
    int writes() const { return m_writes; }

private:
    std::string m_text;
    bool m_hasText = false;
    HWND m_owner = nullptr;
    int m_writes = 0;
    bool m_failing = false;
};
