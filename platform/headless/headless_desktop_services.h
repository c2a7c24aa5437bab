#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_services.h"
#include "platform/headless/headless_clipboard.h"
#include "platform/headless/headless_records.h"

class HeadlessDesktop;

/// The headless desktop services: a clipboard in memory, a save dialog that takes the answers a
/// test queued (and cancels without one), message boxes that are recorded and answered at once,
/// and drop targets that the simulated user's drags reach.
class HeadlessDesktopServices : public DesktopServices {
public:
    explicit HeadlessDesktopServices(HeadlessDesktop& desktop) : m_desktop(desktop) {}

    bool setClipboardText(HWND owner, const std::string& bytes) override;
    bool clipboardText(std::string& text) override;
    bool saveFileDialog(HWND owner, OverwritePrompt prompt, SaveChoices& choices,
                        std::string& path) override;
    /// Takes the answer a test queued (answerOpen); cancels without one.
    bool openFilesDialog(HWND owner, std::vector<std::string>& paths) override;
    void messageBox(HWND owner, const std::string& text, const std::string& caption,
                    MessageBoxKind kind) override;
    bool registerDropTarget(HWND wnd, COleDropTarget* target) override;
    void revokeDropTarget(HWND wnd) override;

    /// Queues the answer to the next save dialog: the user picks path, of the kind of file with
    /// index type among those offered.
    void answerSave(std::string path, int type = 0);
    /// Queues the answer to the next open dialog: the user picks paths (none: cancels).
    void answerOpen(std::vector<std::string> paths);
    /// How many times the open dialog was shown.
    int openDialogsShown() const { return m_openDialogsShown; }
    /// Queues the answer to the next save dialog: the user cancels.
    void cancelSave();

    HeadlessClipboard& clipboard() { return m_clipboard; }
    /// Every showing of the save dialog, with its answer.
    const std::vector<SaveDialogRecord>& saveDialogs() const { return m_saveDialogs; }
    const std::vector<MessageBoxRecord>& messageBoxes() const { return m_messageBoxes; }

private:
    HeadlessDesktop& m_desktop;
    HeadlessClipboard m_clipboard;
    struct SaveAnswer {
        std::string path;
        int type = 0;
    };
    std::deque<std::optional<SaveAnswer>> m_saveAnswers;
    std::deque<std::vector<std::string>> m_openAnswers;
    int m_openDialogsShown = 0;
    std::vector<SaveDialogRecord> m_saveDialogs;
    std::vector<MessageBoxRecord> m_messageBoxes;
};
