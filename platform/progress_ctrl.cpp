#include "platform/progress_ctrl.h"

#include <algorithm>

#include "platform/backend.h"

void CProgressCtrl::SetRange(int upper) {
    m_upper = std::max(upper, 0);
    m_position = std::clamp(m_position, 0, m_upper);
    if (::IsWindow(m_hWnd)) {
        backend().controls().setProgress(m_hWnd, m_position, m_upper);
    }
}

void CProgressCtrl::SetPos(int position) {
    m_position = std::clamp(position, 0, m_upper);
    if (::IsWindow(m_hWnd)) {
        backend().controls().setProgress(m_hWnd, m_position, m_upper);
    }
}
