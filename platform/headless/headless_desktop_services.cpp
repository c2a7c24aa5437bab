#include "platform/headless/headless_desktop_services.h"

#include "platform/headless/headless_desktop.h"

bool HeadlessDesktopServices::setClipboardText(HWND owner, const std::string& bytes) {
    return m_clipboard.write(owner, bytes);
}

bool HeadlessDesktopServices::clipboardText(std::string& text) {
    return m_clipboard.read(text);
}

bool HeadlessDesktopServices::saveFileDialog(HWND owner, OverwritePrompt prompt,
                                             SaveChoices& choices, std::string& path) {
    SaveDialogRecord shown{owner, prompt, false, {}, choices};
    // With no answer queued the user cancels, so a test never waits on the dialog.
    if (!m_saveAnswers.empty()) {
        std::optional<SaveAnswer> answer = std::move(m_saveAnswers.front());
        m_saveAnswers.pop_front();
        if (answer.has_value()) {
            shown.chosen = true;
            shown.path = answer->path;
            shown.offered.chosenType = answer->type;
            choices.chosenType = answer->type;
            path = answer->path;
        }
    }
    m_saveDialogs.push_back(shown);
    return shown.chosen;
}

bool HeadlessDesktopServices::openFilesDialog(HWND, std::vector<std::string>& paths) {
    ++m_openDialogsShown;
    if (m_openAnswers.empty()) {
        return false;
    }
    paths = std::move(m_openAnswers.front());
    m_openAnswers.pop_front();
    return !paths.empty();
}

void HeadlessDesktopServices::messageBox(HWND owner, const std::string& text,
                                         const std::string& caption, MessageBoxKind kind) {
    m_messageBoxes.push_back(MessageBoxRecord{owner, text, caption, kind});
}

bool HeadlessDesktopServices::registerDropTarget(HWND wnd, COleDropTarget* target) {
    HeadlessWindow* window = m_desktop.find(wnd);
    if (window == nullptr || target == nullptr || window->dropTarget != nullptr) {
        return false;
    }
    window->dropTarget = target;
    return true;
}

void HeadlessDesktopServices::revokeDropTarget(HWND wnd) {
    if (HeadlessWindow* window = m_desktop.find(wnd)) {
        window->dropTarget = nullptr;
    }
}

void HeadlessDesktopServices::answerSave(std::string path, int type) {
    m_saveAnswers.emplace_back(SaveAnswer{std::move(path), type});
}

void HeadlessDesktopServices::answerOpen(std::vector<std::string> paths) {
    m_openAnswers.push_back(std::move(paths));
}

void HeadlessDesktopServices::cancelSave() {
    m_saveAnswers.emplace_back(std::nullopt);
}
