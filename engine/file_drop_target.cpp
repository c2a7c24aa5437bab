#include "engine/file_drop_target.h"

#include <vector>

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
        auto* client = dynamic_cast<DropClient*>(wnd);
        if (!client) {
            return TRUE;
        }
        // The whole drop is handled here; the window shows it is busy but keeps repainting.
        wnd->BeginWaitCursor();
        for (const CString& path : paths) {
            client->acceptDroppedPath(path);
            wnd->KeepAlive();
        }
        wnd->EndWaitCursor();
        return TRUE;
    }
    // A drop with neither files nor text leaves the caption alone.
    CString text;
    if (data->GetText(text)) {
        wnd->SetWindowText(text.c_str());
    }
    return TRUE;
}
