#pragma once

#include <vector>

#include "platform/cmd_target.h"
#include "platform/win_types.h"

class CWnd;

/// What a drag carries: a list of files (full paths, in the source's order), text, or neither.
class COleDataObject {
public:
    COleDataObject() = default;
    COleDataObject(std::vector<CString> files, bool hasFiles, CString text, bool hasText)
        : m_files(std::move(files)), m_hasFiles(hasFiles), m_text(std::move(text)),
          m_hasText(hasText) {}

    /// The dropped files' paths; false when the drag carries no file list.
    BOOL GetFileList(std::vector<CString>& paths) const;
    /// The dropped text; false when the drag carries no text.
    BOOL GetText(CString& text) const;

private:
    std::vector<CString> m_files;
    bool m_hasFiles = false;
    CString m_text;
    bool m_hasText = false;
};

/// A window's drop target: asked for an effect while something is dragged over the window, and
/// given the drop.
class COleDropTarget : public CCmdTarget {
public:
    COleDropTarget() = default;
    ~COleDropTarget() override;

    /// Registers this target on wnd; false when the window system refuses.
    BOOL Register(CWnd* wnd);
    virtual void Revoke();

    virtual DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point);
    virtual DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point);
    virtual BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, POINT point);
    virtual void OnDragLeave(CWnd* wnd);

    HWND registeredWindow() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};
