#pragma once

// The clipboard, as plain text. The framework keeps what a user and the other programs can see
// of the clipboard, byte for byte, and no more of its mechanics.

#include "platform/win_types.h"

/// Replaces the clipboard's content with bytes as plain text, owned by window owner. FALSE when
/// the clipboard cannot be opened; its content then stays.
BOOL SetClipboardText(HWND owner, const CString& bytes);
/// The clipboard's plain text, byte for byte, whichever program put it there. FALSE, with text
/// unchanged, when the clipboard holds no text or cannot be opened.
BOOL GetClipboardText(CString& text);
