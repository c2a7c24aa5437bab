#include "layout_test_support.h"

#include "layout/layout_pane.h"
#include "platform/resources.h"
#include "platform/win_api.h"
#include "tests/support/make_template.h"

ControlSheet::ControlSheet() {
    window.Attach(headless.createDialog(makeTemplate(700, {}, {.cx = 400, .cy = 300}), nullptr));
}

ControlSheet::~ControlSheet() {
    host.rootPane.reset();
    window.DestroyWindow();
}

int ControlSheet::addControl(int width, int height) {
    const int id = m_nextId++;
    headless.createControl(window.m_hWnd, ControlKind::PushButton, "", WS_CHILD | WS_VISIBLE,
                           RECT{0, 0, width, height}, id);
    return id;
}

HWND ControlSheet::controlWindow(int id) const {
    return ::GetDlgItem(window.m_hWnd, id);
}

RECT ControlSheet::controlRect(int id) {
    const HeadlessWindow* control = headless.record(controlWindow(id));
    return control ? control->rect : RECT{-1, -1, -1, -1}; // kept in the parent's client area
}

int ProbeNode::alive = 0;

ProbeNode::ProbeNode(unsigned flags, int width, int height, int minW, int maxW, int minH, int maxH)
    : LayoutNode(nullptr, flags), width(width), height(height), minW(minW), maxW(maxW), minH(minH),
      maxH(maxH) {
    ++alive;
}

ProbeNode::~ProbeNode() {
    --alive;
}

int ProbeNode::requestedWidth(int available) const {
    if (flags & WIDTH_FIXED) {
        return width;
    }
    return flags & WIDTH_PERCENT ? percentOf(available, width) : -1;
}

int ProbeNode::requestedHeight(int available) const {
    if (flags & HEIGHT_FIXED) {
        return height;
    }
    return flags & HEIGHT_PERCENT ? percentOf(available, height) : -1;
}

int ProbeNode::minWidth() const {
    return flags & WIDTH_FIXED ? width : minW;
}
int ProbeNode::maxWidth() const {
    return flags & WIDTH_FIXED ? width : maxW;
}
int ProbeNode::minHeight() const {
    return flags & HEIGHT_FIXED ? height : minH;
}
int ProbeNode::maxHeight() const {
    return flags & HEIGHT_FIXED ? height : maxH;
}

bool ProbeNode::place(RECT& rect) {
    placed.push_back(rect);
    return true;
}

std::vector<std::uint8_t> makeBmp(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const int imageSize = stride * height;
    std::vector<std::uint8_t> bmp(54 + std::size_t(imageSize), 0);
    const auto put = [&bmp](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            bmp[at + std::size_t(i)] = std::uint8_t(value >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put(2, std::uint32_t(bmp.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, std::uint32_t(width), 4);
    put(22, std::uint32_t(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, std::uint32_t(imageSize), 4);
    for (std::size_t i = 54; i < bmp.size(); ++i) {
        bmp[i] = 0x80;
    }
    return bmp;
}

void registerGripBitmap(int width, int height) {
    const std::vector<std::uint8_t> bmp = makeBmp(width, height);
    ASSERT_TRUE(Resources::addBitmap(OBM_SIZE, bmp.data(), bmp.size()));
}

TestDialog::TestDialog(const char* section, bool grip, Builder build)
    : LayoutDialog(TEMPLATE, nullptr, section, grip), m_build(std::move(build)) {}

BOOL TestDialog::OnInitDialog() {
    LayoutDialog::OnInitDialog();
    if (m_build) {
        rootPane = m_build(*this);
        updateLayout();
    }
    return TRUE;
}

void TestDialog::arrange(RECT rect) {
    arranged.push_back(rect);
    const auto& headless = dynamic_cast<const HeadlessBackend&>(backend());
    redrawWhileArranging.push_back(headless.record(m_hWnd)->redraw);
    if (rect.bottom != rect.top && rect.right != rect.left && rootPane) {
        rootPane->place(rect);
    }
}

void registerTestDialog() {
    Resources::addDialog(
        makeTemplate(TestDialog::TEMPLATE,
                     {{TestDialog::FIRST, ControlKind::PushButton, "One", 5, 5, 50, 14},
                      {TestDialog::SECOND, ControlKind::PushButton, "Two", 60, 5, 50, 14},
                      {TestDialog::LIST, ControlKind::ListView, "", 5, 25, 180, 100}},
                     {.cx = 200, .cy = 150, .x = 10, .y = 10}));
}

std::unique_ptr<LayoutPane> buttonsOverList(TestDialog& dialog) {
    auto root = std::make_unique<LayoutPane>(&dialog, VERTICAL, 5, 0);
    auto row = std::make_unique<LayoutPane>(&dialog, HORIZONTAL, 5, 0);
    row->addItem(TestDialog::FIRST, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    row->addItem(TestDialog::SECOND, WIDTH_FIXED | HEIGHT_FIXED, 0, 0, 0, 0);
    root->addPane(row.release(), HEIGHT_FIXED, 0);
    root->addItem(TestDialog::LIST, 0, 0, 0, 0, 0);
    return root;
}
