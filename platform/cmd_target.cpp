#include "platform/cmd_target.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, {.vv = nullptr}}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::findEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                              UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->nMessage != message) {
                continue;
            }
            const bool byControl = message == WM_COMMAND || message == WM_NOTIFY;
            if (!byControl || (e->nCode == code && e->nID == id)) {
                return e;
            }
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const AFX_MSGMAP_ENTRY* e = findEntry(GetMessageMap(), WM_COMMAND, code, id);
    if (!e) {
        return FALSE;
    }
    (this->*e->pfn.vv)();
    return TRUE;
}
