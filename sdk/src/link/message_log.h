// The library's daily message log: network failures the caller never sees as a status are
// kept for the people who service a camera installation, in a file per day beside the
// calling program.
#pragma once

#include <string>
#include <string_view>

namespace irdex::link {

// Appends one entry "[YYYY/MM/DD hh:mm:ss]\t<step>\t<text>" to msgYYYYMMDD.log, ending it
// with a line break when the text has none (entries must never run together). A folder that
// cannot be written loses the entry silently.
void logEntry(std::string_view step, std::string_view text);

// The system's text for an error number, as the log shows it.
std::string systemErrorText(int error);

// The folder of the log: the calling program's folder when empty (the default). Lets tests
// and the fuzz build keep their entries apart.
void setLogFolder(std::string folder);

// The file an entry written now would go to.
std::string currentLogPath();

}  // namespace irdex::link
