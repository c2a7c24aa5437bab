// The drop-down list on the headless backend: what the user's choice tells the dialog, what the
// program's own selection does not, and when a choice is refused.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/combo_box.h"
#include "platform/data_exchange.h"
#include "platform/dialog.h"
#include "platform/resources.h"
#include "tests/support/headless_backend_test.h"
#include "tests/support/make_template.h"

namespace {

constexpr int CHOOSER = 640;
constexpr int ALGORITHM = 641;
constexpr int GO = 642;

DialogTemplate chooserTemplate() {
    return makeTemplate(
        CHOOSER,
        {
            {ALGORITHM, ControlKind::ComboBox, "", 7, 7, 100, 14, CBS_DROPDOWNLIST | WS_TABSTOP, 0},
            {GO, ControlKind::PushButton, "Go", 120, 7, 50, 14, WS_TABSTOP, 0},
        },
        {.cy = 60, .resizable = false});
}

class ChooserDialog : public CDialog {
public:
    ChooserDialog() : CDialog(CHOOSER) {}

    CComboBox algorithm;
    std::vector<int> picks; ///< the selection each CBN_SELCHANGE found

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, ALGORITHM, algorithm); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        for (const char* name : {"MD5", "SHA-1", "SHA-256"}) {
            algorithm.AddString(name);
        }
        algorithm.SetCurSel(1);
        return TRUE;
    }
    void OnAlgorithmChosen() { picks.push_back(algorithm.GetCurSel()); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ChooserDialog, CDialog)
ON_CBN_SELCHANGE(ALGORITHM, OnAlgorithmChosen)
END_MESSAGE_MAP()

class HeadlessComboBoxTest : public HeadlessBackendTest {
protected:
    void SetUp() override { Resources::addDialog(chooserTemplate()); }

    /// Runs the dialog; body gets it while its window is open.
    template <typename F> void withDialog(F body) {
        headless.queue([&](HWND dlg) { body(dlg); });
        dialog.DoModal();
    }

    ChooserDialog dialog;
};

} // namespace

TEST_F(HeadlessComboBoxTest, TheUsersChoiceTellsTheDialogTheProgramsOwnSelectionDoesNot) {
    withDialog([&](HWND dlg) {
        EXPECT_TRUE(dialog.picks.empty()) << "SetCurSel sends nothing";
        const HeadlessComboBox& entries = headless.record(dialog.algorithm.m_hWnd)->combo;
        EXPECT_EQ(entries.items(), (std::vector<std::string>{"MD5", "SHA-1", "SHA-256"}));
        EXPECT_EQ(entries.selection(), 1);

        EXPECT_TRUE(headless.chooseComboItem(dlg, ALGORITHM, 2));
        EXPECT_TRUE(headless.chooseComboItem(dlg, ALGORITHM, 2)) << "chosen again, told again";
        EXPECT_EQ(dialog.picks, (std::vector<int>{2, 2}));
        EXPECT_EQ(headless.focusedControl(dlg), dialog.algorithm.m_hWnd);

        EXPECT_EQ(dialog.algorithm.SetCurSel(3), CB_ERR);
        EXPECT_EQ(dialog.algorithm.GetCurSel(), CB_ERR) << "out of range selects none";
        EXPECT_EQ(dialog.algorithm.SetCurSel(0), 0);
        dialog.algorithm.ResetContent();
        EXPECT_EQ(dialog.algorithm.GetCount(), 0);
        EXPECT_EQ(dialog.algorithm.GetCurSel(), CB_ERR);
        EXPECT_EQ(dialog.picks.size(), 2u);
    });
}

struct RefusedChoice {
    const char* name;
    int id;
    int index;
    bool working;
    const char* reason;
};

class HeadlessComboBoxRefusal : public HeadlessComboBoxTest,
                                public testing::WithParamInterface<RefusedChoice> {};

TEST_P(HeadlessComboBoxRefusal, ChangesNothingAndSaysWhy) {
    const RefusedChoice& c = GetParam();
    withDialog([&](HWND dlg) {
        if (c.working) {
            dialog.BeginWork(GO);
        }
        EXPECT_FALSE(headless.chooseComboItem(dlg, c.id, c.index));
        EXPECT_EQ(dialog.algorithm.GetCurSel(), 1);
        EXPECT_TRUE(dialog.picks.empty());
        ASSERT_FALSE(headless.ignoredInput().empty());
        EXPECT_EQ(headless.ignoredInput().back(), c.reason);
    });
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessComboBoxRefusal,
                         testing::Values(RefusedChoice{"DuringLongWork", ALGORITHM, 0, true,
                                                       "choose control 641: working"},
                                         RefusedChoice{"PastTheLastEntry", ALGORITHM, 3, false,
                                                       "choose control 641: no entry 3"},
                                         RefusedChoice{"NotADropDownList", GO, 0, false,
                                                       "choose control 642: not a drop-down list"}),
                         [](const testing::TestParamInfo<RefusedChoice>& info) {
                             return std::string(info.param.name);
                         });
