#pragma once

#include <string>
#include <vector>

#include "platform/win_types.h"

class COleDropTarget;

/// Whether the save dialog asks before the user picks a file that exists.
enum class OverwritePrompt { Ask, DontAsk };

/// A kind of file a save dialog offers: "MD5 checksum list" with its name patterns, "*.md5" and
/// "MD5SUMS".
struct FileType {
    std::string title;
    std::vector<std::string> patterns;
};

/// What a save dialog offers, and what the user chose of it: the name it suggests, the kinds of
/// file to choose among (the first one at first), and, once answered, the kind chosen.
struct SaveChoices {
    std::string fileName;
    std::vector<FileType> types;
    int chosenType = 0; ///< an index into types
};

/// The icon a message box shows beside its text; every message box has just an OK button.
enum class MessageBoxKind { Plain, Information, Question, Warning, Error };

/// What the desktop offers the program besides its windows: the clipboard, the save dialog, the
/// message box, and the delivery of drag and drop.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    /// Replaces the clipboard's content with bytes as plain text; false when it cannot be opened
    /// (its content then stays).
    virtual bool setClipboardText(HWND owner, const std::string& bytes) = 0;
    /// The clipboard's plain text, byte for byte; false when it holds none or cannot be opened.
    virtual bool clipboardText(std::string& text) = 0;
    /// Asks the user for a file to save to, offering choices (which also receives the kind of
    /// file chosen); false when cancelled. Choosing a kind whose first pattern is "*.ext" makes
    /// the suggested name end in ".ext".
    virtual bool saveFileDialog(HWND owner, OverwritePrompt prompt, SaveChoices& choices,
                                std::string& path) = 0;
    /// Asks the user for files and folders to open, several at once; false when cancelled.
    virtual bool openFilesDialog(HWND owner, std::vector<std::string>& paths) = 0;
    /// Shows text until the user dismisses it.
    virtual void messageBox(HWND owner, const std::string& text, const std::string& caption,
                            MessageBoxKind kind) = 0;
    /// Delivers drags over wnd to target; false when wnd is no window or already has one.
    virtual bool registerDropTarget(HWND wnd, COleDropTarget* target) = 0;
    virtual void revokeDropTarget(HWND wnd) = 0;
};
