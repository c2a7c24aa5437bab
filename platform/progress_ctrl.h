#pragma once

#include "platform/wnd.h"

/// A progress bar: how much of some work is done.
class CProgressCtrl : public CWnd {
public:
    /// The position runs from 0 to upper; an upper of 0 shows work whose length is not known.
    void SetRange(int upper);
    /// Moves the bar to position, clamped to the range.
    void SetPos(int position);
    int GetPos() const { return m_position; }
    int GetRange() const { return m_upper; }

private:
    int m_upper = 100;
    int m_position = 0;
};
