// The headless window system's controls and services: list views, bitmaps, the system menu,
// clipboard, save dialog, painting, the change log, and how user input reaches a dialog.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/resources.h"
#include "tests/support/headless_backend_test.h"
#include "tests/support/make_template.h"

namespace {

constexpr int TOOL = 9200;
constexpr int PICTURE = 9201;
constexpr int LIST = 1000;
constexpr int MODE_A = 1001;
constexpr int MODE_B = 1002;
constexpr int COPY = 1003;
constexpr int SAVE = 1004;
constexpr int OTHER_A = 1010;
constexpr int OTHER_B = 1011;
constexpr int LOGO_BITMAP = 9233;

DialogTemplate toolTemplate(DWORD okStyle = BS_DEFPUSHBUTTON | WS_TABSTOP) {
    return makeTemplate(
        TOOL,
        {
            {IDOK, ControlKind::PushButton, "OK", 260, 7, 50, 14, okStyle, 0},
            {LIST, ControlKind::ListView, "", 7, 42, 306, 152, LVS_REPORT | WS_TABSTOP, 0},
            {MODE_A, ControlKind::RadioButton, "A", 27, 10, 53, 10, BS_AUTORADIOBUTTON | WS_GROUP,
             0},
            {MODE_B, ControlKind::RadioButton, "B", 92, 10, 84, 10, BS_AUTORADIOBUTTON, 0},
            {COPY, ControlKind::PushButton, "Copy", 7, 24, 50, 14, WS_TABSTOP | WS_GROUP, 0},
            {SAVE, ControlKind::PushButton, "Save", 69, 24, 50, 14, WS_TABSTOP, 0},
            {OTHER_A, ControlKind::RadioButton, "X", 180, 10, 30, 10, BS_AUTORADIOBUTTON | WS_GROUP,
             0},
            {OTHER_B, ControlKind::RadioButton, "Y", 220, 10, 30, 10, BS_AUTORADIOBUTTON, 0},
        },
        {.cx = 320, .cy = 201});
}

// A 24-bit bottom-up BMP of width × height pixels, all black.
std::vector<std::uint8_t> blackBmp(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const int size = 54 + stride * height;
    std::vector<std::uint8_t> bmp(std::size_t(size), 0);
    auto put32 = [&bmp](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, std::uint32_t(size));
    put32(10, 54);
    put32(14, 40);
    put32(18, std::uint32_t(width));
    put32(22, std::uint32_t(height));
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp;
}

class HeadlessTest : public HeadlessBackendTest {
protected:
    HWND shownTool(DWORD okStyle = BS_DEFPUSHBUTTON | WS_TABSTOP) {
        const HWND dlg = headless.createDialog(toolTemplate(okStyle), nullptr);
        headless.showWindow(dlg, ShowCommand::Show);
        return dlg;
    }
    HWND item(HWND dlg, int id) { return headless.dialogItem(dlg, id); }
    // The WM_COMMAND messages sent, as (control ID, notification, lParam handle).
    struct Command {
        UINT id;
        UINT code;
        HWND control;
        friend bool operator==(const Command&, const Command&) = default;
    };
    std::vector<Command> commands() const {
        std::vector<Command> out;
        for (const SentMessage& m : headless.sentMessages()) {
            if (m.message == WM_COMMAND) {
                out.push_back(
                    {LOWORD(m.wParam), HIWORD(m.wParam), reinterpret_cast<HWND>(m.lParam)});
            }
        }
        return out;
    }
};

using HeadlessListRows = HeadlessTest;
using HeadlessStaticBitmap = HeadlessTest;
using HeadlessSystemMenu = HeadlessTest;
using HeadlessServices = HeadlessTest;
using HeadlessPainting = HeadlessTest;
using HeadlessInput = HeadlessTest;

} // namespace

TEST_F(HeadlessListRows, RowsInsertedAtTheTopShowNewestFirstAtAnyCount) {
    const HWND list = item(shownTool(), LIST);
    constexpr int ROWS = 100000;
    for (int i = 0; i < ROWS; ++i) {
        ASSERT_EQ(headless.listInsertItem(list, 0, std::to_string(i), i % 3), 0);
    }
    ASSERT_EQ(headless.listItemCount(list), ROWS);
    EXPECT_EQ(headless.listItemText(list, 0, 0), "99999");
    EXPECT_EQ(headless.listItemText(list, ROWS - 1, 0), "0");
    EXPECT_EQ(headless.listItemText(list, 500, 0), std::to_string(ROWS - 1 - 500));
    EXPECT_EQ(headless.listItemImage(list, 0), 99999 % 3);
}

TEST_F(HeadlessListRows, PositionsPastTheEndAppendAndNegativeOnesFail) {
    const HWND list = item(shownTool(), LIST);
    EXPECT_EQ(headless.listInsertItem(list, 7, "first", 0), 0);
    EXPECT_EQ(headless.listInsertItem(list, 7, "second", 0), 1);
    EXPECT_EQ(headless.listInsertItem(list, 1, "middle", 0), 1);
    EXPECT_EQ(headless.listInsertItem(list, -1, "never", 0), -1);
    EXPECT_EQ(headless.listItemText(list, 0, 0), "first");
    EXPECT_EQ(headless.listItemText(list, 1, 0), "middle");
    EXPECT_EQ(headless.listItemText(list, 2, 0), "second");
    EXPECT_EQ(headless.listItemCount(list), 3);
}

TEST_F(HeadlessListRows, SubItemsNeedAColumnAndARow) {
    const HWND list = item(shownTool(), LIST);
    headless.listInsertItem(list, 0, "name", 1);
    EXPECT_FALSE(headless.listSetItemText(list, 0, 1, "early")) << "no column 1 yet";
    headless.listInsertColumn(list, 0, "Filename", ColumnAlignment::Left, 200);
    headless.listInsertColumn(list, 1, "File Checksum", ColumnAlignment::Left, 225);
    headless.listInsertColumn(list, 2, "Actual Checksum", ColumnAlignment::Left, 225);
    EXPECT_TRUE(headless.listSetItemText(list, 0, 2, "actual"));
    EXPECT_TRUE(headless.listSetItemText(list, 0, 1, "expected"));
    EXPECT_FALSE(headless.listSetItemText(list, 0, 3, "nowhere"));
    EXPECT_FALSE(headless.listSetItemText(list, 1, 1, "no such row"));
    EXPECT_EQ(headless.listItemText(list, 0, 1), "expected");
    EXPECT_EQ(headless.listItemText(list, 0, 2), "actual");
    EXPECT_EQ(headless.listItemText(list, 0, 3), "");

    const std::vector<ListColumn>& columns = headless.record(list)->list.columns();
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[1].heading, "File Checksum");
    EXPECT_EQ(columns[1].width, 225);
    EXPECT_EQ(columns[0].alignment, ColumnAlignment::Left);
}

TEST_F(HeadlessListRows, DeletingAllRowsKeepsColumnsAndImages) {
    const HWND list = item(shownTool(), LIST);
    const ImageList images;
    headless.listInsertColumn(list, 0, "Filename", ColumnAlignment::Left, 200);
    headless.listSetImageList(list, &images, ImageListKind::Small);
    headless.listInsertItem(list, 0, "a", 2);
    headless.listInsertItem(list, 0, "b", 1);
    headless.listDeleteAllItems(list);
    EXPECT_EQ(headless.listItemCount(list), 0);
    EXPECT_EQ(headless.listItemImage(list, 0), -1);
    EXPECT_EQ(headless.record(list)->list.columns().size(), 1u);
    EXPECT_EQ(headless.record(list)->list.imageList(ImageListKind::Small), &images);
}

TEST_F(HeadlessListRows, OtherControlsAreNoLists) {
    const HWND button = item(shownTool(), COPY);
    EXPECT_EQ(headless.listInsertItem(button, 0, "row", 0), -1);
    EXPECT_EQ(headless.listItemCount(button), 0);
}

TEST_F(HeadlessStaticBitmap, ABitmapResizesItsControlKeepingTheTopLeft) {
    const HWND dlg = shownTool();
    const HWND grip = headless.createControl(
        dlg, ControlKind::StaticBitmap, "", WS_CHILD | SS_BITMAP, RECT{456, 303, 480, 327}, 0xFFFF);
    Image picture;
    picture.width = 13;
    picture.height = 12;
    headless.setStaticBitmap(grip, &picture);
    const POINT origin = headless.clientOrigin(dlg);
    EXPECT_EQ(headless.windowRect(grip),
              (RECT{origin.x + 456, origin.y + 303, origin.x + 469, origin.y + 315}));
    EXPECT_EQ(headless.record(grip)->bitmap, &picture);
    EXPECT_EQ(headless.sentCount(grip, WM_SIZE), 1);
}

TEST_F(HeadlessStaticBitmap, ATemplateBitmapControlTakesItsPicturesSize) {
    const std::vector<std::uint8_t> bmp = blackBmp(300, 58);
    ASSERT_TRUE(Resources::addBitmap(LOGO_BITMAP, bmp.data(), bmp.size()));
    const DialogTemplate t = makeTemplate(
        PICTURE, {{-1, ControlKind::StaticBitmap, "", 7, 7, 216, 37, SS_BITMAP, LOGO_BITMAP}},
        {.cx = 288, .cy = 53, .resizable = false});
    const HWND dlg = headless.createDialog(t, nullptr);
    const HWND logo = headless.dialogItem(dlg, -1);
    ASSERT_NE(logo, nullptr);
    // (7, 7) dialog units: (11, 11) pixels; the picture decides the size.
    EXPECT_EQ(headless.clientRect(logo), (RECT{0, 0, 300, 58}));
    EXPECT_EQ(headless.windowRect(logo).left - headless.clientOrigin(dlg).x, 11);
}

TEST_F(HeadlessSystemMenu, EntriesAppendAfterTheStandardOnesAndChoosingSendsTheCommand) {
    const HWND dlg = shownTool();
    const HMENU menu = headless.systemMenu(dlg);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(headless.systemMenuEntries(dlg).back().id, SC_CLOSE);
    ASSERT_TRUE(headless.appendMenu(menu, MenuEntryKind::Separator, 0, ""));
    ASSERT_TRUE(headless.appendMenu(menu, MenuEntryKind::Command, 16, "&About md5..."));

    const std::vector<MenuEntry> entries = headless.systemMenuEntries(dlg);
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries[entries.size() - 2].kind, MenuEntryKind::Separator);
    EXPECT_EQ(entries.back().id, 16u);
    EXPECT_EQ(entries.back().text, "&About md5...");

    EXPECT_TRUE(headless.chooseSystemMenu(dlg, "&About md5..."));
    ASSERT_FALSE(headless.sentMessages().empty());
    EXPECT_EQ(headless.sentMessages().back().message, WM_SYSCOMMAND);
    EXPECT_EQ(headless.sentMessages().back().wParam, 16u);
    EXPECT_FALSE(headless.chooseSystemMenu(dlg, 32u)) << "not in the menu";
}

TEST_F(HeadlessSystemMenu, OnlyWindowsWithOneHaveAMenuAndStaleHandlesAreRefused) {
    DialogTemplate bare = toolTemplate();
    bare.style = WS_POPUP | WS_CAPTION;
    const HWND plain = headless.createDialog(bare, nullptr);
    EXPECT_EQ(headless.systemMenu(plain), nullptr);
    headless.showWindow(plain, ShowCommand::Show);
    EXPECT_FALSE(headless.closeBox(plain)) << "no system menu, no close box";

    const HWND dlg = shownTool();
    const HMENU menu = headless.systemMenu(dlg);
    headless.destroyWindow(dlg);
    EXPECT_FALSE(headless.appendMenu(menu, MenuEntryKind::Command, 16, "late"));
}

TEST_F(HeadlessServices, TheClipboardKeepsEveryByteAndSurvivesAFailedOpen) {
    const HWND dlg = shownTool();
    const std::string report("d41d8cd98f00b204e9800998ecf8427e *a\r\n\0\xff", 40);
    ASSERT_TRUE(headless.setClipboardText(dlg, report));
    EXPECT_EQ(headless.clipboard().text(), report);
    EXPECT_EQ(headless.clipboard().owner(), dlg);

    headless.clipboard().setFailing(true);
    EXPECT_FALSE(headless.setClipboardText(dlg, "other"));
    EXPECT_EQ(headless.clipboard().text(), report);
    EXPECT_EQ(headless.clipboard().writes(), 1);

    headless.clipboard().setFailing(false);
    ASSERT_TRUE(headless.setClipboardText(dlg, ""));
    EXPECT_TRUE(headless.clipboard().hasText());
    EXPECT_EQ(headless.clipboard().text(), "");
}

TEST_F(HeadlessServices, ReadingTheClipboardGivesAnotherProgramsTextUnlessItCannotBeOpened) {
    CString text = "untouched";
    EXPECT_FALSE(GetClipboardText(text)) << "nothing on the clipboard yet";
    const std::string copied("caf\xE9\0 *a\r\n", 10);
    headless.clipboard().putText(copied);
    EXPECT_TRUE(GetClipboardText(text));
    EXPECT_EQ(text, copied);

    headless.clipboard().setFailing(true);
    text = "untouched";
    EXPECT_FALSE(GetClipboardText(text));
    EXPECT_EQ(text, "untouched");
}

TEST_F(HeadlessServices, SaveDialogAnswersComeInOrderAndAnEmptyQueueCancels) {
    const HWND dlg = shownTool();
    headless.answerSave("/tmp/report.md5");
    headless.cancelSave();
    SaveChoices choices;
    std::string path = "untouched";
    EXPECT_TRUE(headless.saveFileDialog(dlg, OverwritePrompt::Ask, choices, path));
    EXPECT_EQ(path, "/tmp/report.md5");
    path = "untouched";
    EXPECT_FALSE(headless.saveFileDialog(dlg, OverwritePrompt::DontAsk, choices, path));
    EXPECT_FALSE(headless.saveFileDialog(nullptr, OverwritePrompt::DontAsk, choices, path));
    EXPECT_EQ(path, "untouched");
    ASSERT_EQ(headless.saveDialogs().size(), 3u);
    EXPECT_EQ(headless.saveDialogs()[0].owner, dlg);
    EXPECT_EQ(headless.saveDialogs()[0].prompt, OverwritePrompt::Ask);
    EXPECT_TRUE(headless.saveDialogs()[0].chosen);
    EXPECT_FALSE(headless.saveDialogs()[2].chosen);
}

TEST_F(HeadlessPainting, IconsAreRecordedOnlyWhilePainting) {
    const HWND dlg = shownTool();
    headless.minimize(dlg, 36, 36);
    const IconResource icon;
    const HDC dc = headless.beginPaint(dlg);
    const RECT client = headless.clientRect(dlg);
    headless.drawIcon(dc, (client.right - 32 + 1) / 2, (client.bottom - 32 + 1) / 2, &icon);
    headless.endPaint(dlg, dc);
    headless.drawIcon(dc, 9, 9, &icon);
    ASSERT_EQ(headless.paintedIcons().size(), 1u);
    EXPECT_EQ(headless.paintedIcons()[0].wnd, dlg);
    EXPECT_EQ(headless.paintedIcons()[0].x, 2);
    EXPECT_EQ(headless.paintedIcons()[0].y, 2);
    EXPECT_EQ(headless.paintedIcons()[0].icon, &icon);
}

TEST_F(HeadlessPainting, RedrawSwitchesMovesAndInvalidationsAreLoggedInOrder) {
    const HWND dlg = shownTool();
    const std::size_t before = headless.events().size();
    headless.setRedraw(dlg, false);
    headless.moveWindow(item(dlg, LIST), 11, 60, 400, 200);
    headless.setZOrder(item(dlg, COPY), ZOrder::Bottom);
    headless.setRedraw(dlg, true);
    headless.invalidate(dlg);
    const std::vector<std::string> logged(headless.events().begin() + std::ptrdiff_t(before),
                                          headless.events().end());
    EXPECT_EQ(logged,
              (std::vector<std::string>{"redraw off dialog 9200", "move control 1000",
                                        "zorder bottom control 1003", "redraw on dialog 9200",
                                        "invalidate dialog 9200"}));
    EXPECT_EQ(headless.record(dlg)->invalidations, 1);
    EXPECT_TRUE(headless.record(dlg)->redraw);
}

TEST_F(HeadlessInput, AClickSendsBnClickedWithTheButtonAndFocusesIt) {
    const HWND dlg = shownTool();
    ASSERT_TRUE(headless.click(dlg, SAVE));
    EXPECT_EQ(commands(), (std::vector<Command>{{SAVE, BN_CLICKED, item(dlg, SAVE)}}));
    EXPECT_EQ(headless.focusedControl(dlg), item(dlg, SAVE));
    EXPECT_FALSE(headless.click(dlg, 4242));
    EXPECT_FALSE(headless.click(dlg, LIST)) << "a list is no button";
}

TEST_F(HeadlessInput, ARadioClickChecksItAndClearsOnlyItsOwnGroup) {
    const HWND dlg = shownTool();
    headless.setChecked(item(dlg, MODE_A), true);
    headless.setChecked(item(dlg, OTHER_B), true);
    headless.click(dlg, MODE_B);
    EXPECT_FALSE(headless.isChecked(item(dlg, MODE_A)));
    EXPECT_TRUE(headless.isChecked(item(dlg, MODE_B)));
    EXPECT_TRUE(headless.isChecked(item(dlg, OTHER_B))) << "another group";
    EXPECT_EQ(commands(), (std::vector<Command>{{MODE_B, BN_CLICKED, item(dlg, MODE_B)}}));
}

TEST_F(HeadlessInput, EnterPressesTheFocusedPushButtonElseTheDefaultOne) {
    const HWND dlg = shownTool();
    EXPECT_EQ(headless.focusedControl(dlg), item(dlg, IDOK)) << "the first tab stop";
    headless.focusControl(dlg, COPY);
    headless.pressEnter(dlg);
    headless.click(dlg, MODE_A); // a radio button takes the focus but not Enter
    headless.pressEnter(dlg);
    EXPECT_EQ(commands(), (std::vector<Command>{{COPY, BN_CLICKED, item(dlg, COPY)},
                                                {MODE_A, BN_CLICKED, item(dlg, MODE_A)},
                                                {IDOK, BN_CLICKED, item(dlg, IDOK)}}));
}

TEST_F(HeadlessInput, WithoutADefaultButtonEnterMeansOk) {
    const HWND dlg = shownTool(WS_TABSTOP);
    const HWND ok = item(dlg, IDOK);
    headless.click(dlg, MODE_A);
    headless.pressEnter(dlg);
    headless.destroyWindow(ok);
    headless.pressEnter(dlg);
    EXPECT_EQ(commands(), (std::vector<Command>{{MODE_A, BN_CLICKED, item(dlg, MODE_A)},
                                                {IDOK, BN_CLICKED, ok},
                                                {IDOK, BN_CLICKED, nullptr}}));
}

TEST_F(HeadlessInput, EscapeSendsCancel) {
    const HWND dlg = shownTool();
    headless.pressEscape(dlg);
    EXPECT_EQ(commands(), (std::vector<Command>{{IDCANCEL, BN_CLICKED, nullptr}}));
}

TEST_F(HeadlessInput, DisabledOrHiddenWindowsTakeNoInput) {
    const HWND dlg = shownTool();
    headless.enableWindow(item(dlg, COPY), false);
    EXPECT_FALSE(headless.click(dlg, COPY));
    EXPECT_TRUE(headless.click(dlg, SAVE));

    headless.enableWindow(dlg, false);
    EXPECT_FALSE(headless.click(dlg, SAVE));
    EXPECT_FALSE(headless.pressEnter(dlg));
    EXPECT_FALSE(headless.pressEscape(dlg));
    EXPECT_FALSE(headless.closeBox(dlg));
    EXPECT_FALSE(headless.dropFiles(dlg, {"/tmp/a"}));

    headless.enableWindow(dlg, true);
    headless.showWindow(dlg, ShowCommand::Hide);
    EXPECT_FALSE(headless.click(dlg, SAVE));

    EXPECT_EQ(commands().size(), 1u) << "only the one click that was taken";
    ASSERT_EQ(headless.ignoredInput().size(), 7u);
    EXPECT_EQ(headless.ignoredInput()[0], "click control 1003: disabled");
    EXPECT_EQ(headless.ignoredInput()[6], "click control 1004: hidden");
    EXPECT_TRUE(headless.drops().empty());
}
