#include "ui/result_row.h"

#include <cerrno>
#include <cstring>

#include "engine/checksum_list.h"

bool isProblem(int status) {
    return status != STATUS_OK && status != STATUS_SIGNATURE_GOOD;
}

int statusRank(int status) {
    switch (status) {
    case STATUS_SIGNATURE_BAD:
        return 0;
    case STATUS_FAILED:
        return 1;
    case STATUS_UNREADABLE:
        return 2;
    case STATUS_SIGNATURE_UNVERIFIED:
        return 3;
    case STATUS_NO_LIST:
        return 4;
    case STATUS_OK:
        return 5;
    case STATUS_SIGNATURE_GOOD:
        return 6;
    default:
        return 7;
    }
}

std::string reasonText(int error) {
    switch (error) {
    case 0:
        return std::string();
    case ENOENT:
    case ENOTDIR:
        return "No such file";
    case EACCES:
    case EPERM:
        return "Permission denied";
    case EISDIR:
        return "Is a folder";
    case EIO:
        return "Read error";
    case ENXIO:
        // Refused by its type before any open: a FIFO, socket or device.
        return "Not a regular file";
    default:
        return std::strerror(error);
    }
}

std::string statusCell(const ResultRow& row) {
    std::string words;
    switch (row.status) {
    case STATUS_FAILED:
        words = "FAILED";
        break;
    case STATUS_OK:
        words = "OK";
        break;
    case STATUS_UNREADABLE:
        words = "Could not be read";
        break;
    case STATUS_NO_LIST:
        words = "No checksum list found";
        break;
    case STATUS_SIGNATURE_GOOD:
        words = "Good signature";
        break;
    case STATUS_SIGNATURE_BAD:
        words = "BAD signature";
        break;
    case STATUS_SIGNATURE_UNVERIFIED:
        words = "Signature not verified";
        break;
    default:
        break;
    }
    // A file not read says why, which says that it was not read: "No such file".
    const std::string reason = reasonText(row.error);
    return reason.empty() ? words : reason;
}
