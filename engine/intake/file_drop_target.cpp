#include "engine/intake/file_drop_target.h"

#include "platform/wnd.h"

FileDropTarget::~FileDropTarget() = default;

DROPEFFECT FileDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_COPY;
}

DROPEFFECT FileDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, POINT) {
    return DROPEFFECT_COPY;
}

BOOL FileDropTarget::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT, POINT) {
    if (!wnd || !data) {
        return TRUE;
    }
    std::vector<CString> paths;
    if (data->GetFileList(paths)) {
        // The whole drop is handled before this returns.
        if (auto* client = dynamic_cast<DropClient*>(wnd)) {
            client->acceptDrop(paths);
        }
        return TRUE;
    }
    // A drop with neither files nor text leaves the caption alone.
    CString text;
    if (data->GetText(text)) {
        wnd->SetWindowText(text.c_str());
    }
    return TRUE;
}
