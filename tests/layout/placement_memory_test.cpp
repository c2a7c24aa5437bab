#include "layout/layout_host.h"

#include <cstdlib>
#include <functional>
#include <string>

#include <dirent.h>
#include <unistd.h>

#include "layout_test_support.h"
#include "platform/profile_store.h"
#include "platform/resources.h"
#include "platform/win_app.h"
#include "tests/support/scratch_folder.h"

namespace {

// The dialog's outer rectangle before anything moves it: the template's position, and its
// 300 × 244 client area inside the frame.
const int TEMPLATE_LEFT = HeadlessBackend::dluToPixelsX(10);
const int TEMPLATE_TOP = HeadlessBackend::dluToPixelsY(10);
const RECT TEMPLATE_RECT{TEMPLATE_LEFT, TEMPLATE_TOP, TEMPLATE_LEFT + 308, TEMPLATE_TOP + 270};

// Every test gets its own configuration folder (XDG_CONFIG_HOME) and an application object
// whose profile lives there, as the real program's does.
class PlacementMemoryTest : public HeadlessBackendTest {
protected:
    PlacementMemoryTest() {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        hadConfigHome_ = old != nullptr;
        oldConfigHome_ = old != nullptr ? old : "";
        setenv("XDG_CONFIG_HOME", folder_.path().c_str(), 1);
        app_.m_profileName = ProfileStore::pathFor(app_.m_appName);
        registerTestDialog();
        registerGripBitmap(16, 16);
    }
    ~PlacementMemoryTest() override {
        if (hadConfigHome_) {
            setenv("XDG_CONFIG_HOME", oldConfigHome_.c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }

    ProfileStore store() const { return ProfileStore(app_.m_profileName); }

    void storePlacement(const char* section, int x, int y, int width, int height) const {
        ASSERT_TRUE(store().writeInt(section, "PosX", x));
        ASSERT_TRUE(store().writeInt(section, "PosY", y));
        ASSERT_TRUE(store().writeInt(section, "SizeX", width));
        ASSERT_TRUE(store().writeInt(section, "SizeY", height));
    }

    // What the profile holds under section, -9999 for a missing value.
    RECT storedPlacement(const char* section) const {
        const int x = store().getInt(section, "PosX", -9999);
        const int y = store().getInt(section, "PosY", -9999);
        return RECT{x, y, x + store().getInt(section, "SizeX", -9999),
                    y + store().getInt(section, "SizeY", -9999)};
    }

    // Opens a TestDialog with the given section, runs action once it is shown and closes it;
    // returns its outer rectangle as it was shown.
    RECT openAndClose(const char* section, const std::function<void(HWND)>& action = {}) {
        TestDialog dialog(section, true, buttonsOverList);
        RECT shown{};
        headless.queue([&](HWND d) {
            shown = headless.record(d)->rect;
            if (action) {
                action(d);
            }
        });
        dialog.DoModal();
        return shown;
    }

    int filesInFolder() const {
        int count = 0;
        DIR* dir = opendir(folder_.path().c_str());
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            count += name != "." && name != "..";
        }
        closedir(dir);
        return count;
    }

    CWinApp app_{"placement_test"};

private:
    ScratchFolder folder_;
    bool hadConfigHome_ = false;
    std::string oldConfigHome_;
};

void moveTo(HWND dialog, int x, int y, int width, int height) {
    CWnd::FromHandlePermanent(dialog)->MoveWindow(x, y, width, height);
}

TEST_F(PlacementMemoryTest, AllFourValuesOpenTheWindowExactlyThere) {
    storePlacement("Tool", 40, 30, 500, 400);
    EXPECT_EQ(openAndClose("Tool"), (RECT{40, 30, 540, 430}));
}

TEST_F(PlacementMemoryTest, StoredSizeBelowTheMinimumIsEnlargedKeepingTheCorner) {
    storePlacement("Tool", 40, 30, 50, 40);
    EXPECT_EQ(openAndClose("Tool"), (RECT{40, 30, 40 + 173, 30 + 80}));
}

TEST_F(PlacementMemoryTest, PositionAloneMovesTheTopLeftEdgesOnly) {
    ASSERT_TRUE(store().writeInt("Tool", "PosX", 100));
    ASSERT_TRUE(store().writeInt("Tool", "PosY", 80));
    EXPECT_EQ(openAndClose("Tool"), (RECT{100, 80, TEMPLATE_RECT.right, TEMPLATE_RECT.bottom}));
}

TEST_F(PlacementMemoryTest, ClosingSavesTheOuterRectangleForTheNextOpening) {
    openAndClose("Tool", [](HWND d) { moveTo(d, 70, 60, 400, 300); });
    EXPECT_EQ(storedPlacement("Tool"), (RECT{70, 60, 470, 360}));
    EXPECT_EQ(openAndClose("Tool"), (RECT{70, 60, 470, 360}));
}

TEST_F(PlacementMemoryTest, SectionsAreKeptApart) {
    storePlacement("Other", 1, 2, 300, 200);
    openAndClose("Tool", [](HWND d) { moveTo(d, 70, 60, 400, 300); });
    EXPECT_EQ(storedPlacement("Other"), (RECT{1, 2, 301, 202}));
    EXPECT_EQ(storedPlacement("Tool"), (RECT{70, 60, 470, 360}));
}

TEST_F(PlacementMemoryTest, MinimisedWindowIsNotSaved) {
    storePlacement("Tool", 1, 2, 300, 200);
    openAndClose("Tool", [this](HWND d) { ASSERT_TRUE(headless.minimize(d)); });
    EXPECT_EQ(storedPlacement("Tool"), (RECT{1, 2, 301, 202}));
}

TEST_F(PlacementMemoryTest, NegativeCornerIsSavedWhileTheFarEdgesAreOnScreen) {
    openAndClose("Tool", [](HWND d) { moveTo(d, -400, -300, 400, 300); });
    EXPECT_EQ(storedPlacement("Tool"), (RECT{-400, -300, 0, 0}));
    openAndClose("Tool", [](HWND d) { moveTo(d, -401, -20, 400, 300); });
    EXPECT_EQ(storedPlacement("Tool"), (RECT{-400, -300, 0, 0})) << "right edge at -1";
    openAndClose("Tool", [](HWND d) { moveTo(d, -20, -301, 400, 300); });
    EXPECT_EQ(storedPlacement("Tool"), (RECT{-400, -300, 0, 0})) << "bottom edge at -1";
}

TEST_F(PlacementMemoryTest, WindowWithoutAreaIsNotSaved) {
    storePlacement("Tool", 1, 2, 300, 200);
    for (const SIZE size : {SIZE{0, 100}, SIZE{100, 0}}) {
        TestDialog dialog("Tool", false); // no tree, so nothing enlarges the window
        headless.queue([&](HWND d) { moveTo(d, 10, 10, size.cx, size.cy); });
        dialog.DoModal();
        EXPECT_EQ(storedPlacement("Tool"), (RECT{1, 2, 301, 202}));
    }
}

TEST_F(PlacementMemoryTest, EmptySectionNeitherReadsNorWrites) {
    for (const char* section : {static_cast<const char*>(nullptr), ""}) {
        const RECT shown = openAndClose(section, [](HWND d) { moveTo(d, 70, 60, 400, 300); });
        // Centred on the 1024 × 768 screen: initialisation did not move the window.
        EXPECT_EQ(shown, (RECT{358, 249, 666, 519}));
    }
    EXPECT_EQ(filesInFolder(), 0);
    // The operations themselves refuse an empty name, whoever calls them.
    TestDialog dialog(nullptr, false);
    headless.queue([&](HWND d) {
        EXPECT_TRUE(dialog.savePlacement(""));
        EXPECT_TRUE(dialog.loadPlacement(""));
        EXPECT_TRUE(dialog.savePlacement(nullptr));
        EXPECT_EQ(headless.record(d)->rect, (RECT{358, 249, 666, 519}));
    });
    dialog.DoModal();
    EXPECT_EQ(filesInFolder(), 0);
}

TEST_F(PlacementMemoryTest, NothingIsSavedWithoutAWindow) {
    CWnd none;
    LayoutHost host(&none, "Tool");
    EXPECT_TRUE(host.savePlacement("Tool"));
    EXPECT_TRUE(host.loadPlacement("Tool"));
    EXPECT_EQ(filesInFolder(), 0);
}

} // namespace
