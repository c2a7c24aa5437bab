#pragma once

// The words of the status strip: rates, time left and the outcome of a drop.

#include <cstdint>
#include <string>
#include <vector>

/// What one drop's work came to, counted from the rows it made.
struct DropTally {
    bool checking = false;  ///< "Check Files" (rows of a list) or "Generate Checksums"
    int ok = 0;             ///< STATUS_OK rows: checked and matching, or generated
    int failed = 0;         ///< STATUS_FAILED rows: a mismatch, or a file not read when generating
    int unreadable = 0;     ///< STATUS_UNREADABLE rows of listed files, or of folders generating
    int total = -1;         ///< rows the work set out to make, when known
    bool stopped = false;   ///< a stop cut the work short
    int lists = 0;          ///< checksum lists the work read
    int listsNotOpened = 0; ///< checksum lists that could not be opened, a row each
    int notUnderstood = 0;  ///< lines of those lists that were not understood
    int passedOver = 0;     ///< FIFOs, sockets and devices found in dropped folders
    int linksToFolders = 0; ///< links to folders found in dropped folders, not followed
    /// Dropped folders without a checksum list in them ("Check Files").
    std::vector<std::string> foldersWithoutList{};
    /// Dropped folders that could not be read ("Check Files").
    std::vector<std::string> foldersNotRead{};
    /// Dropped files that are not checksum lists and that no list beside them names.
    std::vector<std::string> withoutList{};
    /// The signatures of the lists read, each "<words>" as signatureText says them, and whether
    /// one was BAD.
    std::vector<std::string> signatures{};
    bool badSignature = false;
    /// How long the work took, in seconds, when it ran long enough for the strip to show it; -1
    /// for a quick drop. The bytes hashed meanwhile.
    double seconds = -1;
    std::uint64_t bytes = 0;

    /// The files a list named that were checked, or tried.
    int checked() const { return ok + failed + unreadable; }
    /// Every row the work made.
    int done() const { return checked() + listsNotOpened + static_cast<int>(withoutList.size()); }
};

struct PastedChecksum;

/// What comparing a pasted checksum with the rows came to: "Matches a.iso", "Matches a.iso and
/// 2 more"; with no match, "No row matches this SHA-256 checksum", or, when no row holds a
/// checksum of its algorithm at all, which algorithm to hash the file with.
std::string comparisonText(const PastedChecksum& checksum, const std::string& firstMatch,
                           int matches, bool algorithmShown);
/// "1,204": the digits of n in groups of three.
std::string groupedNumber(long long n);
/// "812 MB/s", "1.2 GB/s": decimal units, three significant figures at most.
std::string rateText(double bytesPerSecond);
/// "45 s left", "3 min left", "1 h 5 min left"; seconds are rounded up.
std::string timeLeftText(double seconds);
/// "0.4 s", "12.4 s", "1 min 15 s", "2 h 5 min": how long something took.
std::string durationText(double seconds);
/// "12 files checked: 10 OK, 1 FAILED, 1 could not be read", "2 lists, 8 files checked: 8 OK;
/// 1 line not understood; 1 list could not be opened", "Folder photos could not be read",
/// "3 checksums generated", "Stopped after 5 of 12 files". Every number is grouped ("1,204").
/// Checking, each list's signature follows ("; Good signature from ..."), and a BAD one puts
/// "FAILED: " in front, whatever the digests say; a file no list names is said with the way to
/// compare it by hand. Long work ends with the time it took and its rate: "... in 12.4 s,
/// 412 MB/s".
std::string outcomeText(const DropTally& tally);
