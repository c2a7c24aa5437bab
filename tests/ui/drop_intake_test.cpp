// Files and text dropped on the main window, end to end, in both modes.

#include <atomic>
#include <chrono>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

class DropIntakeTest : public UiTest {
protected:
    /// Runs a main dialog; body gets it while its window is open.
    template <typename F> void run(F body) {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) {
            body(dialog, dlg);
            headless.click(dlg, IDOK);
        });
        dialog.DoModal();
    }

    static std::vector<std::string> column(const MainDialog& dialog, int subItem) {
        std::vector<std::string> texts;
        for (int i = 0; i < dialog.report.resultList.GetItemCount(); ++i) {
            texts.push_back(dialog.report.resultList.GetItemText(i, subItem));
        }
        return texts;
    }
    static std::vector<int> images(const MainDialog& dialog) {
        std::vector<int> result;
        for (int i = 0; i < dialog.report.resultList.GetItemCount(); ++i) {
            result.push_back(dialog.report.resultList.GetItemImage(i));
        }
        return result;
    }
};

using Texts = std::vector<std::string>;

// Tells whether the FIFO at path was opened for reading while the watch lasts. A reader is let go
// at once (it reads the end), so that a FIFO opened by mistake fails a test rather than hangs it.
class FifoWatch {
public:
    explicit FifoWatch(const std::string& path)
        : m_thread([this, path] {
              while (!m_done) {
                  // Opening the writing end without waiting succeeds only while a reader has it.
                  const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0) {
                      m_opened = true;
                      ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~FifoWatch() { stop(); }
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    bool opened() {
        stop();
        return m_opened;
    }

private:
    void stop() {
        m_done = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

    std::atomic<bool> m_done{false};
    std::atomic<bool> m_opened{false};
    std::thread m_thread;
};

} // namespace

TEST_F(DropIntakeTest, GeneratedFilesAreHashedInDropOrderNewestOnTop) {
    const std::string a = writeFile("dir/a.txt", "abc");
    const std::string b = writeFile("dir/b.txt", "");
    const std::string c = writeFile("dir/c.txt", "abc");
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        ASSERT_TRUE(headless.dropFiles(dlg, {a, b, c}));
        EXPECT_EQ(column(dialog, 0), (Texts{"c.txt", "b.txt", "a.txt"}));
        EXPECT_EQ(column(dialog, 1), (Texts{MD5_ABC, MD5_EMPTY, MD5_ABC}));
        EXPECT_EQ(column(dialog, 2), (Texts{"", "", ""})) << "a new checksum shows once";
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_OK, STATUS_OK, STATUS_OK}));
        EXPECT_EQ(dialog.report.reportText, std::string(MD5_ABC) + " *a.txt\r\n" + MD5_EMPTY +
                                                " *b.txt\r\n" + MD5_ABC + " *c.txt\r\n");
        EXPECT_EQ(dialog.drop.droppedPath(), "c.txt");
        EXPECT_EQ(std::filesystem::current_path(), scratch / "dir");
    });
    EXPECT_EQ(headless.workBegun(), 1);
    EXPECT_EQ(headless.workEnded(), 1);
}

TEST_F(DropIntakeTest, FilesThatCannotBeReadKeepTheirPlaceInDropOrder) {
    const std::string a = writeFile("g/a", "abc");
    ASSERT_EQ(::mkfifo((scratch / "g" / "fifo").c_str(), 0600), 0);
    const std::string c = writeFile("g/c", "");
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {a, (scratch / "g" / "fifo").string(), "/no/such/file", c});
        EXPECT_EQ(column(dialog, 0), (Texts{"c", "file", "fifo", "a"}));
        EXPECT_EQ(images(dialog),
                  (std::vector<int>{STATUS_OK, STATUS_FAILED, STATUS_FAILED, STATUS_OK}));
        EXPECT_EQ(dialog.report.reportText,
                  std::string(MD5_ABC) + " *a\r\n" + MD5_EMPTY + " *c\r\n");
        EXPECT_EQ(std::filesystem::current_path(), scratch / "g");
    });
}

TEST_F(DropIntakeTest, TheDropTargetAsksForTheCopyEffect) {
    run([&](MainDialog&, HWND dlg) {
        headless.dropText(dlg, "caption");
        headless.dropNothing(dlg);
    });
    ASSERT_EQ(headless.drops().size(), 2u);
    for (const DropRecord& drop : headless.drops()) {
        EXPECT_EQ(drop.enterEffect, DROPEFFECT_COPY);
        EXPECT_EQ(drop.overEffect, DROPEFFECT_COPY);
        EXPECT_TRUE(drop.dropResult);
    }
}

TEST_F(DropIntakeTest, ACheckedListGivesOneRowPerEntryBottomUp) {
    writeFile("sums/good", "abc");
    writeFile("sums/bad", "abd");
    const std::string list =
        writeFile("sums/list.md5", std::string(MD5_ABC) + "  good\n" + MD5_ABC + " *bad\n" +
                                       MD5_EMPTY + "  missing\n");
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(column(dialog, 0), (Texts{"missing", "bad", "good"}));
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_UNREADABLE, STATUS_FAILED, STATUS_OK}));
        EXPECT_EQ(column(dialog, 2)[0], "") << "a file that cannot be opened has no actual digest";
        EXPECT_EQ(column(dialog, 2)[1], "4911e516e5aa21d327512e0c8b197616");
        EXPECT_EQ(dialog.report.reportText, std::string(MD5_ABC) + " *good\r\n" + MD5_ABC +
                                                " *bad\r\n" + MD5_EMPTY + " *missing\r\n");
        EXPECT_EQ(std::filesystem::current_path(), scratch / "sums");
    });
}

// A drop of several lists clears the results once: a failure in the first list stays on show
// beside the second list's rows, each list read from its own folder, and the outcome covers both.
TEST_F(DropIntakeTest, ListsOfOneDropKeepEveryListsRows) {
    writeFile("x/one", "changed");
    writeFile("y/two", "");
    const std::string first = writeFile("x/first.md5", std::string(MD5_ABC) + "  one\n");
    const std::string second = writeFile("y/SHA256SUMS", std::string(SHA256_EMPTY) + "  two\n");
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropFiles(dlg, {first});
        testing::internal::CaptureStderr();
        headless.dropFiles(dlg, {first, second});
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "md5sum: MD5 check failed for 'one'\n");
        EXPECT_EQ(column(dialog, 0), (Texts{"two", "one"}));
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_OK, STATUS_FAILED}));
        EXPECT_EQ(dialog.report.reportText,
                  std::string(MD5_ABC) + " *one\r\n" + SHA256_EMPTY + " *two\r\n");
        EXPECT_EQ(std::filesystem::current_path(), scratch / "y");
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "2 lists, 2 files checked: 1 OK, 1 FAILED");
    });
}

TEST_F(DropIntakeTest, TheModeIsReadAnewForEveryDrop) {
    writeFile("m/data", "abc");
    const std::string list = writeFile("m/list.md5", std::string(MD5_ABC) + " *data\n");
    const std::string data = (scratch / "m" / "data").string();
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(column(dialog, 0), (Texts{"data"}));
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(column(dialog, 0), (Texts{"list.md5", "data"})) << "hashed, not verified";
        headless.click(dlg, IDC_CHECK_FILES);
        headless.dropFiles(dlg, {list});
        EXPECT_EQ(column(dialog, 0), (Texts{"data"}));
    });
}

TEST_F(DropIntakeTest, AGeneratedReportChecksBackAsAllOk) {
    const std::string a = writeFile("r/a.bin", std::string("\0\x01\r\n\xFF", 5));
    const std::string b = writeFile("r/b b.txt", "line one\r\nline two\n");
    const std::string report = (scratch / "r" / "report.md5").string();
    headless.answerSave(report);
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {a, b});
        headless.click(dlg, IDC_SAVE_AS);
        headless.click(dlg, IDC_CHECK_FILES);
        headless.dropFiles(dlg, {report});
        EXPECT_EQ(column(dialog, 0), (Texts{"b b.txt", "a.bin"}));
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_OK, STATUS_OK}));
    });
}

// A dropped folder is hashed whole, in the byte order of its paths, each row named from the
// folder's parent; what is no file is passed over and said; the report checks in md5sum from
// the folder's parent, and the folder dropped to check finds the report inside it.
TEST_F(DropIntakeTest, AFolderIsHashedWholeAndItsReportChecksInMd5sum) {
    for (const char* name : {"2024/a.jpg", "a-b", ".hidden", "line\nfeed", "back\\slash"}) {
        writeFile(std::string("photos/") + name, name);
    }
    ASSERT_EQ(::symlink("..", (scratch / "photos/2024/loop").c_str()), 0);
    ASSERT_EQ(::symlink("a.jpg", (scratch / "photos/2024/link").c_str()), 0);
    ASSERT_EQ(::mkfifo((scratch / "photos/fifo").c_str(), 0600), 0);
    const std::string loose = writeFile("elsewhere/loose", "");
    headless.answerSave((scratch / "photos" / "MD5SUMS").string());
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {(scratch / "photos").string() + "/", loose});
        EXPECT_EQ(column(dialog, 0),
                  (Texts{"loose", "photos/line\nfeed", "photos/back\\slash", "photos/a-b",
                         "photos/2024/link", "photos/2024/a.jpg", "photos/.hidden"}));
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "7 checksums generated; 1 special file passed over; 1 link to a folder not "
                  "followed");
        EXPECT_EQ(std::filesystem::current_path(), scratch / "elsewhere");
        headless.click(dlg, IDC_SAVE_AS);
    });
    // The report's last line names the loose file by its bare name: md5sum checks the rest.
    std::string report = readFile((scratch / "photos" / "MD5SUMS").string());
    report.erase(report.rfind(MD5_EMPTY));
    writeFile("photos.md5", report);
    const std::string command =
        "cd '" + scratch.string() + "' && md5sum --strict --quiet -c photos.md5";
    EXPECT_EQ(std::system(command.c_str()), 0) << report;
}

// Entries named like lists that cannot be opened (a link that leads nowhere, a FIFO, which is
// never opened) get an unreadable row each and are counted apart from the listed files.
TEST_F(DropIntakeTest, AFolderDroppedToCheckChecksTheListsInIt) {
    writeFile("sums/a", "abc");
    writeFile("sums/MD5SUMS", std::string(MD5_ABC) + "  a\n");
    writeFile("sums/b.SHA256", std::string(SHA256_EMPTY) + "  gone\n");
    writeFile("sums/notes.txt", "not a list\n");
    writeFile("sums/sub/c.md5", "not looked at\n");
    ASSERT_EQ(::symlink("nowhere", (scratch / "sums/dead.md5").c_str()), 0);
    ASSERT_EQ(::mkfifo((scratch / "sums/pipe.md5").c_str(), 0600), 0);
    std::filesystem::create_directories(scratch / "empty");
    FifoWatch pipe((scratch / "sums/pipe.md5").string());
    run([&](MainDialog& dialog, HWND dlg) {
        testing::internal::CaptureStderr();
        headless.dropFiles(dlg, {(scratch / "sums").string(), (scratch / "empty").string()});
        EXPECT_FALSE(pipe.opened());
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "md5sum: can't open gone\nmd5sum: no files checked\n");
        EXPECT_EQ(column(dialog, 0), (Texts{(scratch / "sums/pipe.md5").string(),
                                            (scratch / "sums/dead.md5").string(), "gone", "a"}));
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_UNREADABLE, STATUS_UNREADABLE,
                                                    STATUS_UNREADABLE, STATUS_OK}));
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "2 lists, 2 files checked: 1 OK, 1 could not be read; 2 lists could not be "
                  "opened; no checksum list in empty");
        headless.dropFiles(dlg, {(scratch / "empty").string()});
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "No checksum list in empty");
    });
}

// A folder of more lists than are kept open from their count to their check: the later ones are
// opened again, and every one is checked.
TEST_F(DropIntakeTest, AFolderOfManyListsChecksEveryOne) {
    writeFile("many/a", "abc");
    for (int i = 0; i < 40; ++i) {
        writeFile("many/" + std::to_string(100 + i) + ".md5", std::string(MD5_ABC) + "  a\n");
    }
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropFiles(dlg, {(scratch / "many").string()});
        EXPECT_EQ(images(dialog), std::vector<int>(40, STATUS_OK));
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "40 lists, 40 files checked: 40 OK");
    });
}

// While it lives, this thread's files are opened with the rights of the user "nobody": root's
// rights to read anything are set aside. Run by another user, it changes nothing.
class WithoutRootsRights {
public:
    WithoutRootsRights() : m_user(static_cast<uid_t>(::setfsuid(65534))) {}
    ~WithoutRootsRights() { ::setfsuid(m_user); }
    WithoutRootsRights(const WithoutRootsRights&) = delete;
    WithoutRootsRights& operator=(const WithoutRootsRights&) = delete;

private:
    uid_t m_user;
};

TEST_F(DropIntakeTest, AFolderThatCannotBeReadIsSaidSo) {
    const std::filesystem::path folder = scratch / "lk";
    writeFile("lk/MD5SUMS", std::string(MD5_EMPTY) + "  a\n");
    ASSERT_EQ(::chmod(scratch.c_str(), 0711), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0), 0);
    WithoutRootsRights rights;
    if (DIR* listing = ::opendir(folder.c_str())) {
        ::closedir(listing);
        GTEST_SKIP() << "a folder of mode 000 can be read here";
    }
    run([&](MainDialog& dialog, HWND dlg) {
        testing::internal::CaptureStderr();
        headless.dropFiles(dlg, {folder.string()});
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "md5sum: lk: Permission denied\n");
        EXPECT_EQ(dialog.report.resultList.GetItemCount(), 0);
        EXPECT_EQ(headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT)),
                  "Folder lk could not be read");
    });
}

TEST_F(DropIntakeTest, AListThatCannotBeOpenedGivesOneUnreadableRow) {
    const std::string folder = (scratch / "no such list.md5").string();
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {writeFile("earlier", "abc")});
        headless.click(dlg, IDC_CHECK_FILES);
        headless.dropFiles(dlg, {folder});
        EXPECT_EQ(column(dialog, 0), (Texts{folder}));
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_UNREADABLE}));
        EXPECT_EQ(column(dialog, 1), (Texts{""}));
        EXPECT_EQ(dialog.report.reportText, "") << "the earlier results were cleared";
    });
}

TEST_F(DropIntakeTest, AFifoIsNeverReadSoNothingHangs) {
    const std::filesystem::path fifo = scratch / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropFiles(dlg, {fifo.string()}); // as a list
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {fifo.string()}); // as a file
        EXPECT_EQ(images(dialog), (std::vector<int>{STATUS_FAILED, STATUS_UNREADABLE}));
    });
}

TEST_F(DropIntakeTest, AFileDirectlyUnderTheRootOpensByItsAbsolutePath) {
    const std::string path = "/digestor-drop-test-" + std::to_string(::getpid());
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        GTEST_SKIP() << "the root folder is not writable here";
    }
    std::fputs("abc", f);
    std::fclose(f);
    std::filesystem::current_path(scratch);
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {path});
        EXPECT_EQ(column(dialog, 0), (Texts{path}));
        EXPECT_EQ(column(dialog, 1), (Texts{MD5_ABC}));
        EXPECT_EQ(std::filesystem::current_path(), scratch) << "the change of folder failed";
    });
    std::remove(path.c_str());
}

TEST_F(DropIntakeTest, DroppedTextBecomesTheCaptionAndNothingElseChanges) {
    run([&](MainDialog& dialog, HWND dlg) {
        headless.dropText(dlg, "Downloads to check");
        EXPECT_EQ(headless.windowText(dlg), "Downloads to check");
        headless.dropNothing(dlg);
        EXPECT_EQ(headless.windowText(dlg), "Downloads to check");
        EXPECT_EQ(dialog.report.resultList.GetItemCount(), 0);
        EXPECT_EQ(dialog.report.reportText, "");
    });
}

TEST_F(DropIntakeTest, LongPathsArriveWhole) {
    std::string deep = "d";
    while (deep.size() < 300) {
        deep += "/" + std::string(40, 'x');
    }
    const std::string file = writeFile(deep + "/f.txt", "abc");
    ASSERT_GT(file.size(), 260u);
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.dropFiles(dlg, {file});
        EXPECT_EQ(column(dialog, 1), (Texts{MD5_ABC}));
    });
}

// Ctrl+O and the system menu's "Add Files..." take the files and folders chosen as a drop in the
// current mode; a cancelled chooser changes nothing.
TEST_F(DropIntakeTest, AddFilesTakesTheChosenPathsAsADrop) {
    const std::string a = writeFile("add/a.txt", "abc");
    writeFile("add/sub/b.txt", "");
    const std::string folder = (scratch / "add" / "sub").string();
    run([&](MainDialog& dialog, HWND dlg) {
        headless.click(dlg, IDC_GENERATE);
        headless.answerOpen({a, folder});
        ASSERT_TRUE(headless.pressKeys(dlg, "Ctrl+O"));
        EXPECT_EQ(column(dialog, 0), (Texts{"sub/b.txt", "a.txt"}));
        EXPECT_EQ(column(dialog, 1), (Texts{MD5_EMPTY, MD5_ABC}));

        headless.answerOpen({});
        ASSERT_TRUE(headless.chooseSystemMenu(dlg, ADD_FILES_COMMAND_ID));
        EXPECT_EQ(headless.openDialogsShown(), 2);
        EXPECT_EQ(column(dialog, 0).size(), 2u) << "cancelled: nothing added";
    });
}
