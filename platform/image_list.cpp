#include "platform/image_list.h"

#include "platform/resources.h"

CImageList::CImageList() = default;
CImageList::~CImageList() = default;

BOOL CImageList::Create(UINT bitmapId, int cx, int, COLORREF mask) {
    HBITMAP strip = Resources::bitmap(int(bitmapId));
    if (!strip || cx <= 0) {
        return FALSE;
    }
    auto list = std::make_unique<ImageList>();
    cutImageStrip(*strip, cx, mask, *list);
    m_list = std::move(list);
    return TRUE;
}

BOOL CImageList::DeleteImageList() {
    const bool had = m_list != nullptr;
    m_list.reset();
    return had;
}

int CImageList::GetImageCount() const {
    return m_list ? int(m_list->images.size()) : 0;
}
