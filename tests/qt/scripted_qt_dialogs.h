#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/qt/qt_dialogs.h"

/// Dialogs that answer for the user, for QtBackend::setDialogs: each call goes to the function a
/// test set. Without one the save dialog is cancelled and the message box dismissed.
class ScriptedQtDialogs : public QtDialogs {
public:
    std::function<bool(QWidget* parent, OverwritePrompt prompt, std::string& path)> onSave;
    std::function<bool(QWidget* parent, std::vector<std::string>& paths)> onOpen;
    /// What the last save dialog offered.
    SaveChoices offered;
    std::function<void(QWidget* parent, const std::string& text, const std::string& caption,
                       MessageBoxKind kind)>
        onMessage;

    bool saveFile(QWidget* parent, OverwritePrompt prompt, SaveChoices& choices,
                  std::string& path) override {
        offered = choices;
        return onSave && onSave(parent, prompt, path);
    }
    bool openFiles(QWidget* parent, std::vector<std::string>& paths) override {
        return onOpen && onOpen(parent, paths);
    }
    void messageBox(QWidget* parent, const std::string& text, const std::string& caption,
                    MessageBoxKind kind) override {
        if (onMessage) {
            onMessage(parent, text, caption, kind);
        }
    }
};
