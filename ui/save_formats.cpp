#include "ui/save_formats.h"

#include <bit>
#include <cctype>

#include "engine/digest.h"
#include "engine/file_digest.h"

namespace {

// The one algorithm of the bits, if there is exactly one.
bool onlyAlgorithm(unsigned algorithms, Algorithm& algorithm) {
    if (std::popcount(algorithms) != 1) {
        return false;
    }
    algorithm = static_cast<Algorithm>(std::countr_zero(algorithms));
    return static_cast<int>(algorithm) < ALGORITHM_COUNT;
}

void addField(std::string& line, const std::string& text, bool first = false) {
    if (!first) {
        line += ',';
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        line += text;
        return;
    }
    line += '"';
    for (char c : text) {
        line += c;
        if (c == '"') {
            line += '"';
        }
    }
    line += '"';
}

// The status in words ("Could not be read"), without its reason, which has a field of its own.
std::string statusWords(const ResultRow& row) {
    ResultRow withoutReason = row;
    withoutReason.error = 0;
    return statusCell(withoutReason);
}

} // namespace

std::string checksumListName(unsigned algorithms) {
    Algorithm algorithm = Algorithm::Md5;
    if (!onlyAlgorithm(algorithms, algorithm)) {
        return "CHECKSUMS";
    }
    return algorithm == Algorithm::Blake2b512 ? std::string("B2SUMS")
                                              : std::string(algorithmTag(algorithm)) + "SUMS";
}

std::vector<FileType> saveFileTypes(unsigned algorithms) {
    std::vector<FileType> types;
    Algorithm algorithm = Algorithm::Md5;
    if (onlyAlgorithm(algorithms, algorithm)) {
        const std::string suffix = algorithm == Algorithm::Blake2b512
                                       ? std::string("*.b2")
                                       : std::string("*.") + algorithmOptionName(algorithm);
        types.push_back(FileType{std::string(algorithmTitle(algorithm)) + " checksum list",
                                 {suffix, checksumListName(algorithms)}});
    } else {
        types.push_back(FileType{"Checksum list", {"CHECKSUMS", "*SUMS"}});
    }
    types.push_back(FileType{"Results table", {"*.csv"}});
    types.push_back(FileType{"All Files", {"*"}});
    return types;
}

SaveFormat saveFormatOf(int chosenType, const std::string& path) {
    if (chosenType == static_cast<int>(SaveFormat::ResultsTable)) {
        return SaveFormat::ResultsTable;
    }
    if (chosenType == static_cast<int>(SaveFormat::AnyFile) && path.size() >= 4) {
        std::string suffix = path.substr(path.size() - 4);
        for (char& c : suffix) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (suffix == ".csv") {
            return SaveFormat::ResultsTable;
        }
    }
    return chosenType == static_cast<int>(SaveFormat::AnyFile) ? SaveFormat::AnyFile
                                                               : SaveFormat::ChecksumList;
}

std::string resultsTable(const std::vector<const ResultRow*>& rows) {
    std::string table = "Filename,Status,Reason,Algorithm,File Checksum,Actual Checksum\r\n";
    for (const ResultRow* row : rows) {
        std::string line;
        addField(line, row->name, true);
        addField(line, statusWords(*row));
        addField(line, reasonText(row->error));
        addField(line, row->algorithm);
        addField(line, row->expected);
        // A new checksum's row shows its digest once; the table has it in both fields.
        addField(line, row->actualDigest ? toHex(*row->actualDigest) : row->actual);
        table += line;
        table += "\r\n";
    }
    return table;
}
