#pragma once

#include <string>

/// Splits a dropped path into the folder to change into and the name to open there. The last '/'
/// after the first character divides them; the first character is never examined, so a file
/// directly under '/' keeps its whole path as both folder and name (and opens by that absolute
/// path once the change of folder has failed). With no such '/', both are the whole path; with
/// one at position 1, the folder is the whole path.
void splitDroppedPath(const std::string& path, std::string& folder, std::string& fileName);
