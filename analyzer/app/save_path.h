// The folder every automatically named file goes to is made when the settings are read.
#pragma once

#include <string>
#include <vector>

namespace solvane {

// The folders to make for a save path, outermost first: every prefix that ends before a "/"
// not preceded by ":" (so a "scheme:/" or drive-like head is never made on its own), then the
// path itself.
std::vector<std::string> savePathPrefixes(const std::string& path);

// Makes the missing folders of a save path in that order, when the path is not already a
// folder. Failures are ignored (the exports report them when they write). Returns the
// folders this call made.
std::vector<std::string> ensureSavePath(const std::string& path);

}  // namespace solvane
