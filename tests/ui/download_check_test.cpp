// A downloaded file dropped to be checked: the lists beside it that name it, their OpenPGP
// signatures made at test time with gpg in a keyring of the test's own, and the verdict.

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/ui_test_support.h"
#include "ui/main_dialog.h"

namespace {

using Texts = std::vector<std::string>;
using Images = std::vector<int>;

const std::string IMAGE = "disc.iso";
const std::string IMAGE_BYTES = std::string("ISO\0image", 9);

// A keyring made once for the suite: Alice's key in it; Old's key expired; Gone's key revoked;
// Bob's key imported and certified by nobody; Stranger's key only in a keyring of its own.
class Keyrings {
public:
    Keyrings() {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / ("digestor-gpg-" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "home");
        std::filesystem::create_directories(root / "stranger");
        std::filesystem::permissions(root / "home", std::filesystem::perms::owner_all);
        std::filesystem::permissions(root / "stranger", std::filesystem::perms::owner_all);
        m_root = root.string();
        home = m_root + "/home";
        ::setenv("GNUPGHOME", home.c_str(), 1);
        ok = gpg(home, "--quick-gen-key 'Alice <alice@example.org>' ed25519 sign never") &&
             gpg(home, "--faked-system-time 20200101T000000 --quick-gen-key "
                       "'Old <old@example.org>' ed25519 sign 1y") &&
             gpg(home, "--quick-gen-key 'Gone <gone@example.org>' ed25519 sign never") &&
             gpg(m_root + "/stranger",
                 "--quick-gen-key 'Stranger <stranger@example.org>' ed25519 sign never") &&
             gpg(m_root + "/stranger",
                 "--quick-gen-key 'Bob <bob@example.org>' ed25519 sign never") &&
             std::system(("GNUPGHOME='" + m_root + "/stranger' gpg --export bob@example.org | " +
                          "GNUPGHOME='" + home + "' gpg --batch --quiet --import 2>/dev/null")
                             .c_str()) == 0;
    }
    ~Keyrings() {
        std::system(("GNUPGHOME='" + home + "' gpgconf --kill all; GNUPGHOME='" + m_root +
                     "/stranger' gpgconf --kill all")
                        .c_str());
        // The agents may still be taking their sockets away: whatever is left then stays.
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    /// Runs gpg in the keyring at folder with arguments; true when it succeeds.
    static bool gpg(const std::string& folder, const std::string& arguments) {
        const std::string command = "GNUPGHOME='" + folder +
                                    "' gpg --batch --yes --quiet --pinentry-mode loopback "
                                    "--passphrase '' " +
                                    arguments + " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    bool sign(const std::string& who, const std::string& how, const std::string& path) const {
        const bool elsewhere = who == "stranger" || who == "bob";
        const std::string folder = elsewhere ? m_root + "/stranger" : home;
        const std::string time = who == "old" ? "--faked-system-time 20200601T000000 " : "";
        return gpg(folder, time + "-u " + who + "@example.org " + how + " '" + path + "'");
    }
    /// Revokes Gone's key with the certificate gpg made along with it.
    bool revokeGone() const {
        const std::string env = "GNUPGHOME='" + home + "' ";
        const std::string command =
            "fpr=$(" + env +
            "gpg --with-colons --list-keys gone@example.org | awk -F: '/^fpr/ {print $10; exit}')"
            " && sed 's/^:-----/-----/' '" +
            home + "'/openpgp-revocs.d/$fpr.rev | " + env +
            "gpg --batch --quiet --import 2>/dev/null";
        return std::system(command.c_str()) == 0;
    }

    std::string home;
    bool ok = false;

private:
    std::string m_root;
};

Keyrings* keyrings = nullptr;

class DownloadCheckTest : public UiTest {
protected:
    static void SetUpTestSuite() { keyrings = new Keyrings(); }
    static void TearDownTestSuite() {
        delete keyrings;
        keyrings = nullptr;
    }
    void SetUp() override {
        UiTest::SetUp();
        if (!keyrings->ok) {
            GTEST_SKIP() << "gpg could not make the test's keys";
        }
    }

    std::string sha256(const std::string& path) {
        return run("sha256sum < '" + path + "' | cut -c1-64");
    }
    static std::string run(const std::string& command) {
        std::string out;
        if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
            char buffer[256];
            while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
                out += buffer;
            }
            ::pclose(pipe);
        }
        while (!out.empty() && out.back() == '\n') {
            out.pop_back();
        }
        return out;
    }

    // Drops the image in "Check Files"; rows, images, strip and stderr are then at hand.
    void dropImage(const std::string& file = IMAGE) {
        MainDialog dialog(nullptr);
        headless.queue([&](HWND dlg) {
            testing::internal::CaptureStderr();
            headless.dropFiles(dlg, {(scratch / "dl" / file).string()});
            stderrText = testing::internal::GetCapturedStderr();
            for (int i = 0; i < dialog.report.resultList.GetItemCount(); ++i) {
                names.push_back(dialog.report.resultList.GetItemText(i, 0));
                words.push_back(dialog.report.resultList.GetItemText(i, 1));
                images.push_back(dialog.report.resultList.GetItemImage(i));
            }
            strip = headless.windowText(headless.dialogItem(dlg, IDC_STATUS_TEXT));
            report = dialog.report.reportText;
            headless.click(dlg, IDOK);
        });
        dialog.DoModal();
    }

    // SHA256SUMS as a publisher writes it: three images, one of them the one downloaded.
    std::string publishSums() {
        const std::string image = writeFile("dl/" + IMAGE, IMAGE_BYTES);
        return writeFile("dl/SHA256SUMS", std::string(64, '1') + " *other-1.iso\n" + sha256(image) +
                                              " *" + IMAGE + "\n" + std::string(64, '2') +
                                              " *other-2.iso\n");
    }

    Texts names;
    Texts words;
    Images images;
    std::string strip;
    std::string stderrText;
    std::string report;
};

TEST_F(DownloadCheckTest, AGoodSignatureAndTheOneEntryNamingTheFile) {
    const std::string sums = publishSums();
    ASSERT_TRUE(keyrings->sign("alice", "--detach-sign -o '" + sums + ".gpg'", sums));
    dropImage();
    EXPECT_EQ(names, (Texts{IMAGE, "SHA256SUMS.gpg"}));
    EXPECT_EQ(images, (Images{STATUS_OK, STATUS_SIGNATURE_GOOD}));
    EXPECT_NE(words[1].find("Good signature from Alice <alice@example.org>; the key is certified"),
              std::string::npos)
        << words[1];
    EXPECT_EQ(strip.rfind("1 file checked: 1 OK; SHA256SUMS.gpg: Good signature from Alice", 0), 0u)
        << strip;
    EXPECT_EQ(stderrText, "") << "the list's other entries give no message";
    EXPECT_EQ(report, sha256(scratch / "dl" / IMAGE) + " *" + IMAGE + "\r\n");
}

// Each way a signature can fall short of vouching for the list: the rows, and how the strip
// begins.
struct SignatureCase {
    const char* name;
    std::function<bool(const std::string& sums)> prepare;
    int signatureImage;
    const char* stripStart;
    const char* words;
};

void PrintTo(const SignatureCase& signatureCase, std::ostream* out) {
    *out << signatureCase.name;
}

class SignatureCases : public DownloadCheckTest,
                       public testing::WithParamInterface<SignatureCase> {};

TEST_P(SignatureCases, AreSaidAsTheyStand) {
    const std::string sums = publishSums();
    ASSERT_TRUE(GetParam().prepare(sums));
    dropImage();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(images[1], GetParam().signatureImage);
    EXPECT_EQ(images[0], STATUS_OK) << "the digest itself matches";
    EXPECT_EQ(strip.rfind(GetParam().stripStart, 0), 0u) << strip;
    EXPECT_NE(words[1].find(GetParam().words), std::string::npos) << words[1];
}

bool detached(const std::string& who, const std::string& sums) {
    return keyrings->sign(who, "--detach-sign -o '" + sums + ".sign'", sums);
}

INSTANTIATE_TEST_SUITE_P(
    DownloadCheck, SignatureCases,
    testing::Values(
        SignatureCase{"ListChangedAfterSigning",
                      [](const std::string& sums) {
                          return detached("alice", sums) &&
                                 std::system(("echo '# edited' >>'" + sums + "'").c_str()) == 0;
                      },
                      STATUS_SIGNATURE_BAD, "FAILED: 1 file checked: 1 OK; SHA256SUMS.sign: BAD",
                      "the list changed after it was signed"},
        SignatureCase{
            "EntryAddedOutsideTheClearsignedText",
            [](const std::string& sums) {
                return keyrings->sign("alice", "--clearsign -o '" + sums + ".asc'", sums) &&
                       std::rename((sums + ".asc").c_str(), sums.c_str()) == 0 &&
                       std::system(
                           ("echo " + std::string(64, '3') + " *x.iso >>'" + sums + "'").c_str()) ==
                           0;
            },
            STATUS_SIGNATURE_BAD, "FAILED: ", "entries outside its signed text"},
        SignatureCase{
            "KeyCertifiedByNobody", [](const std::string& sums) { return detached("bob", sums); },
            STATUS_SIGNATURE_GOOD, "1 file checked: 1 OK; SHA256SUMS.sign: Good signature from Bob",
            "the key is not certified"},
        SignatureCase{"KeyNotInTheKeyring",
                      [](const std::string& sums) { return detached("stranger", sums); },
                      STATUS_SIGNATURE_UNVERIFIED,
                      "1 file checked: 1 OK; SHA256SUMS.sign: "
                      "Signature not verified",
                      "the key is not in your keyring"},
        SignatureCase{"ExpiredKey", [](const std::string& sums) { return detached("old", sums); },
                      STATUS_SIGNATURE_UNVERIFIED,
                      "1 file checked: 1 OK; SHA256SUMS.sign: ", "has expired"},
        SignatureCase{"RevokedKey",
                      [](const std::string& sums) {
                          return detached("gone", sums) && keyrings->revokeGone();
                      },
                      STATUS_SIGNATURE_UNVERIFIED,
                      "1 file checked: 1 OK; SHA256SUMS.sign: ", "revoked"},
        SignatureCase{"GarbageSignatureFile",
                      [](const std::string& sums) {
                          return std::system(("echo garbage >'" + sums + ".gpg'").c_str()) == 0;
                      },
                      STATUS_SIGNATURE_UNVERIFIED,
                      "1 file checked: 1 OK; SHA256SUMS.gpg: ", "holds no OpenPGP signature"}),
    [](const testing::TestParamInfo<SignatureCase>& info) { return info.param.name; });

TEST_F(DownloadCheckTest, AChangedImageFailsAgainstItsList) {
    publishSums();
    writeFile("dl/" + IMAGE, IMAGE_BYTES + "!");
    dropImage();
    EXPECT_EQ(names, (Texts{IMAGE}));
    EXPECT_EQ(images, (Images{STATUS_FAILED}));
    EXPECT_EQ(strip, "1 file checked: 1 FAILED");
    EXPECT_EQ(stderrText, "md5sum: SHA256 check failed for '" + IMAGE + "'\n");
}

TEST_F(DownloadCheckTest, EveryListNamingTheFileGetsItsRowsAndBareDigestsAndPublisherPathsCount) {
    const std::string sums = publishSums();
    const std::string image = (scratch / "dl" / IMAGE).string();
    // A bare digest in "disc.iso.sha512", the publisher's own path in a Fedora-style list, and
    // BLAKE3 digests as b3sum writes them.
    writeFile("dl/" + IMAGE + ".sha512", run("sha512sum < '" + image + "' | cut -c1-128") + "\n");
    writeFile("dl/Disc-1.0-CHECKSUM",
              "# Disc 1.0\nSHA256 (/build/out/" + IMAGE + ") = " + sha256(image) + "\n");
    ASSERT_EQ(
        run("cd '" + (scratch / "dl").string() + "' && b3sum " + IMAGE + " >B3SUMS && echo ok"),
        "ok");
    dropImage();
    EXPECT_EQ(names, (Texts{IMAGE, IMAGE, IMAGE, IMAGE}));
    EXPECT_EQ(images, (Images{STATUS_OK, STATUS_OK, STATUS_OK, STATUS_OK}));
    EXPECT_EQ(strip, "4 lists, 4 files checked: 4 OK");
}

TEST_F(DownloadCheckTest, AFileNoListNamesGetsItsDigestAndTheWayToCompareIt) {
    publishSums();
    // A NUL byte makes a file no list, whatever lines follow it.
    writeFile("dl/notes.bin", std::string("a\0b\n", 4) + MD5_EMPTY + "  other\n");
    dropImage("notes.bin");
    EXPECT_EQ(names, (Texts{"notes.bin"}));
    EXPECT_EQ(images, (Images{STATUS_NO_LIST}));
    EXPECT_EQ(stderrText, "") << "a file that is not a list is never read as one";
    EXPECT_EQ(strip, "No checksum list found for notes.bin: press Ctrl+V to compare it with a "
                     "published checksum");
    EXPECT_EQ(report, "");
}

} // namespace
