#include "platform/ole_drop_target.h"

#include "platform/backend.h"
#include "platform/wnd.h"

BOOL COleDataObject::GetFileList(std::vector<CString>& paths) const {
    if (!m_hasFiles) {
        return FALSE;
    }
    paths = m_files;
    return TRUE;
}

BOOL COleDataObject::GetText(CString& text) const {
    if (!m_hasText) {
        return FALSE;
    }
    text = m_text;
    return TRUE;
}

COleDropTarget::~COleDropTarget() {
    // Not the virtual Revoke: a derived part is already gone here.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        backend().services().revokeDropTarget(m_hWnd);
    }
    m_hWnd = nullptr;
}

BOOL COleDropTarget::Register(CWnd* wnd) {
    if (!wnd || !::IsWindow(wnd->m_hWnd) || m_hWnd) {
        return FALSE;
    }
    if (!backend().services().registerDropTarget(wnd->m_hWnd, this)) {
        return FALSE;
    }
    m_hWnd = wnd->m_hWnd;
    return TRUE;
}

void COleDropTarget::Revoke() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        backend().services().revokeDropTarget(m_hWnd);
    }
    m_hWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, POINT) {
    return FALSE;
}

void COleDropTarget::OnDragLeave(CWnd*) {}
