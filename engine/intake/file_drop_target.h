#pragma once

#include <vector>

#include "platform/ole_drop_target.h"

/// The window side of a file drop: does all the work of one drop, its full paths in the
/// source's order.
class DropClient {
public:
    virtual ~DropClient() = default;
    virtual void acceptDrop(const std::vector<CString>& paths) = 0;
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
