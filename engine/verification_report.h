#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/checksum_list.h"

/// The outcome of each line of a list, in list order, as rows, md5sum-style diagnostics on
/// stderr, and the run's result. Every way of hashing a list reports through it, so that they
/// all write the same bytes.
class VerificationReport {
public:
    VerificationReport(ResultSink& sink, bool verbose) : sink_(sink), verbose_(verbose) {}

    void notUnderstood(const std::string& line);
    /// error: why the file did not open (errno).
    void cantOpen(const std::string& name, const Digest& expected, int error);
    void hashed(const std::string& name, const Digest& expected, const Digest& actual,
                bool readError);
    /// The closing messages and the run's result.
    int finish();

private:
    /// In verbose mode every outcome follows the name, padded to the widest name so far. The
    /// name is written together with the outcome, so that a file stopped part-way leaves no
    /// trace.
    void writeName(const std::string& shown);

    ResultSink& sink_;
    bool verbose_;
    std::size_t nameWidth_ = 14;
    int checked_ = 0;
    int failed_ = 0;
    int errorStatus_ = 0;
    unsigned checkedAlgorithms_ = 0;          // a bit per algorithm compared
    std::uint64_t checkedBlake2bLengths_ = 0; // of BLAKE2b, a bit per length: 1 << (bytes - 1)
};
