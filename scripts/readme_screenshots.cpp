// Draws the README's screenshots: the real window (Qt, normally offscreen) after a drop in each
// mode, after a check with problems sorted first, during a long check, after a folder's drop, after
// a pasted checksum matched, and after downloads were checked against a signed list beside one and
// with no list beside the other, saved as PNG files. Usage: readme_screenshots OUTPUT_FOLDER

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "engine/digest_files.h"
#include "engine/file_digest.h"
#include "platform/qt/qt_backend.h"
#include "platform/win_app.h"
#include "res/resource.h"
#include "ui/app_resources.h"
#include "ui/main_dialog.h"

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void dropUrls(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
}

QUrl url(const fs::path& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path.string()));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    fs::create_directories(out);

    char pattern[] = "/tmp/digestor-shots-XXXXXX";
    if (!::mkdtemp(pattern)) {
        return 1;
    }
    const fs::path work = pattern;
    const fs::path downloads = work / "downloads";
    write(downloads / "debian-12.8.0-amd64-netinst.iso", std::string(300000, 'd'));
    write(downloads / "photos-2026.tar.gz", std::string(120000, 'p'));
    write(downloads / "release-notes.txt", "Release notes\n");
    write(downloads / "SHA-sums/readme", "x");
    const fs::path photos = work / "photos";
    for (const char* name : {"2024/harbour.jpg", "2024/lighthouse.jpg", "2025/ferry.jpg",
                             "2025/tide-table.pdf", "index.html", ".thumbnails"}) {
        write(photos / name, name);
    }
    // The choice of algorithm below is remembered in a profile of the scratch folder's own.
    ::setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);

    QApplication application(argc, argv);
    QtBackend backend;
    setBackend(&backend);
    registerAppResources();
    CWinApp app("digestor");
    int status = 0;
    {
        MainDialog dialog(nullptr);
        app.m_pMainWnd = &dialog;
        QWidget* window = nullptr;
        std::vector<std::function<void()>> steps;
        std::size_t next = 0;
        std::function<void()> runNext = [&] {
            // A drop is worked through from the event loop under a busy cursor: wait it out.
            if (QApplication::overrideCursor()) {
                QTimer::singleShot(10, runNext);
                return;
            }
            if (next < steps.size()) {
                steps[next++]();
                QTimer::singleShot(10, runNext);
            }
        };
        auto shoot = [&](const char* name) {
            window->repaint();
            if (!window->grab().save(QString::fromStdString((out / name).string()))) {
                status = 1;
            }
        };
        steps = {
            [&] {
                window = backend.widget(dialog.m_hWnd);
                window->resize(860, 300);
            },
            [&] {
                SendMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_GENERATE, BN_CLICKED),
                            LPARAM(GetDlgItem(dialog.m_hWnd, IDC_GENERATE)));
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_GENERATE), true);
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_CHECK_FILES), false);
                dropUrls(window, {url(downloads / "debian-12.8.0-amd64-netinst.iso"),
                                  url(downloads / "photos-2026.tar.gz"),
                                  url(downloads / "release-notes.txt")});
            },
            [&] { shoot("generate-checksums.png"); },
            [&] {
                // A list with a match, a mismatch and a file that has gone missing.
                std::string list = dialog.report.reportText;
                list.replace(list.find("photos") - 34, 4, "0000");
                list += "9e107d9d372bb6826bd81d3542a419d6 *old-backup.zip\r\n";
                write(downloads / "downloads.md5", list);
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_GENERATE), false);
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_CHECK_FILES), true);
                dropUrls(window, {url(downloads / "downloads.md5")});
            },
            [&] { shoot("check-files.png"); },
            [&] {
                // A check of many files with a few problems among them, sorted by status with a
                // click on its header: the problems come first.
                const fs::path album = work / "album";
                std::string list;
                for (int i = 1; i <= 24; ++i) {
                    char name[32];
                    std::snprintf(name, sizeof name, "scan-%03d.tif", i);
                    const std::string bytes(1000 + i, 's');
                    write(album / name, i == 7 || i == 19 ? bytes + "changed" : bytes);
                    Digest digest;
                    std::FILE* file = std::fopen((album / name).c_str(), "rb");
                    if (file == nullptr || digestStream(file, digest) != 0) {
                        status = 1;
                    }
                    if (file != nullptr) {
                        std::fclose(file);
                    }
                    list += toHex(digest) + "  " + name + "\n";
                }
                list += "d41d8cd98f00b204e9800998ecf8427e  scan-025.tif\n";
                write(album / "MD5SUMS", list);
                fs::resize_file(album / "scan-007.tif", 1007); // back to its listed bytes
                write(album / "scan-019.tif", std::string(1019, 't'));
                dropUrls(window, {url(album / "MD5SUMS")});
            },
            [&] {
                auto* list = qobject_cast<QTreeView*>(
                    backend.widget(GetDlgItem(dialog.m_hWnd, IDC_RESULT_LIST)));
                emit list->header()->sectionClicked(COLUMN_STATUS);
                window->resize(1000, 300); // wide enough for the digests whole
            },
            [&] {
                shoot("problems-first.png");
                window->resize(860, 300);
            },
            [&] {
                // A long check: the list's last file is a DVD image (a sparse file, so that it
                // takes no room). The shot is taken while it is hashed; then Stop ends the work.
                const fs::path dvd = downloads / "debian-12.8.0-amd64-DVD-1.iso";
                write(dvd, "");
                fs::resize_file(dvd, std::uintmax_t(4) << 30);
                write(downloads / "all.md5",
                      dialog.report.reportText +
                          "5b3b1a9a8c7e3ba4e1c2cd5b0f4d0a77 *debian-12.8.0-amd64-DVD-1.iso\r\n");
                dropUrls(window, {url(downloads / "all.md5")});
                QTimer::singleShot(1800, [&] {
                    shoot("long-work.png");
                    auto* stop = static_cast<QAbstractButton*>(
                        backend.widget(GetDlgItem(dialog.m_hWnd, IDC_STOP)));
                    stop->click();
                });
            },
            [&] {
                // A folder hashed whole, its rows named from the folder's parent.
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_CHECK_FILES), false);
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_GENERATE), true);
                SendMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLEAR_LIST, BN_CLICKED),
                            LPARAM(GetDlgItem(dialog.m_hWnd, IDC_CLEAR_LIST)));
                dropUrls(window, {url(photos)});
            },
            [&] { shoot("folder-report.png"); },
            [&] {
                // The ISO hashed with SHA-256, and the checksum of its download page pasted.
                SendMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLEAR_LIST, BN_CLICKED),
                            LPARAM(GetDlgItem(dialog.m_hWnd, IDC_CLEAR_LIST)));
                dialog.algorithmBox.SetCurSel(static_cast<int>(Algorithm::Sha256));
                SendMessage(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_ALGORITHM, CBN_SELCHANGE),
                            LPARAM(GetDlgItem(dialog.m_hWnd, IDC_ALGORITHM)));
                dropUrls(window, {url(downloads / "photos-2026.tar.gz"),
                                  url(downloads / "debian-12.8.0-amd64-netinst.iso"),
                                  url(downloads / "release-notes.txt")});
            },
            [&] {
                const std::string iso =
                    dialog.report.resultList.GetItemText(1, 1); // the ISO's new checksum
                QApplication::clipboard()->setText(QString::fromStdString("SHA256: " + iso));
                SendMessage(dialog.m_hWnd, WM_PASTE, 0, 0);
            },
            [&] { shoot("compare-match.png"); },
            [&] {
                // A downloaded image dropped to be checked: the SHA256SUMS beside it names it
                // among others, and its signature is by a key in the keyring.
                const fs::path release = work / "release";
                write(release / "debian-12.8.0-amd64-netinst.iso", std::string(300000, 'd'));
                const fs::path keyring = work / "gnupg";
                fs::create_directories(keyring);
                fs::permissions(keyring, fs::perms::owner_all);
                ::setenv("GNUPGHOME", keyring.c_str(), 1);
                const std::string gpg = "gpg --batch --quiet --pinentry-mode loopback "
                                        "--passphrase '' ";
                const std::string commands =
                    "cd '" + release.string() + "' && " + gpg +
                    "--quick-gen-key 'Example Releases <releases@example.org>' ed25519 sign "
                    "never && sha256sum debian-12.8.0-amd64-netinst.iso > SHA256SUMS && "
                    "echo 5c3a1f0e9b2d4c6a8e7f1b3d5a9c2e4f6b8d0a1c3e5f7a9b2d4c6e8f0a1b3c5d "
                    "' debian-12.8.0-amd64-DVD-1.iso' >> SHA256SUMS && " +
                    gpg + "--detach-sign -o SHA256SUMS.sign SHA256SUMS 2>/dev/null";
                if (std::system(commands.c_str()) != 0) {
                    status = 1;
                }
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_GENERATE), false);
                backend.setChecked(GetDlgItem(dialog.m_hWnd, IDC_CHECK_FILES), true);
                // Wide enough for a SHA-256 digest and the signature's words.
                window->resize(1420, 300);
                dropUrls(window, {url(release / "debian-12.8.0-amd64-netinst.iso")});
            },
            [&] { shoot("download-check.png"); },
            [&] {
                // An installer that no list beside it names: its digest, and the way to compare.
                write(work / "installer" / "setup-2.1.run", std::string(90000, 's'));
                dropUrls(window, {url(work / "installer" / "setup-2.1.run")});
            },
            [&] { shoot("download-no-list.png"); },
            [&] { dialog.EndDialog(IDOK); },
        };
        QTimer::singleShot(0, runNext);
        dialog.DoModal();
        app.m_pMainWnd = nullptr;
    }
    setBackend(nullptr);
    std::system(("GNUPGHOME='" + (work / "gnupg").string() + "' gpgconf --kill all").c_str());
    fs::remove_all(work);
    return status;
}
