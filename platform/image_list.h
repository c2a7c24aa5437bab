#pragma once

#include <memory>

#include "platform/image.h"
#include "platform/win_types.h"

/// Images of one size cut from a bitmap resource; owned here, lent to list views.
class CImageList {
public:
    CImageList();
    ~CImageList();

    /// Cuts bitmap resource bitmapId into images cx wide, mask colour transparent. False when the
    /// bitmap is missing; grow is the growth step and has no effect here.
    BOOL Create(UINT bitmapId, int cx, int grow, COLORREF mask);
    BOOL DeleteImageList();
    int GetImageCount() const;
    HIMAGELIST GetSafeHandle() const { return m_list.get(); }

private:
    std::unique_ptr<ImageList> m_list;
};
