#pragma once

#include "platform/ole_drop_target.h"

/// The window side of a file drop: handles one dropped file's full path at a time.
class DropClient {
public:
    virtual ~DropClient() = default;
    virtual void acceptDroppedPath(const CString& path) = 0;
};

/// The main window's drop target: asks for the copy effect for anything dragged over the window;
/// a drop hands each file to the window (a DropClient), in the source's order, or, without files,
/// makes dropped text the window's caption.
class FileDropTarget : public COleDropTarget {
public:
    ~FileDropTarget() override;

    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, POINT point) override;
    BOOL OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, POINT point) override;
};
