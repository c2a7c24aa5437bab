#pragma once

#include "platform/message_map.h"
#include "platform/win_types.h"

/// Base of every object that receives commands through a message table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    /// Runs the handler of command id with notification code, searching this object's tables
    /// from the most derived to the base; true when a handler ran.
    virtual BOOL OnCmdMsg(UINT id, UINT code);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    /// The first entry for message (and, for WM_COMMAND, code and id) in map or its bases.
    static const AFX_MSGMAP_ENTRY* findEntry(const AFX_MSGMAP* map, UINT message, UINT code,
                                             UINT id);
};
