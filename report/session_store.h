// The report program's session: the loaded snapshots, their ticks and every typed text,
// kept in one file so a day's descriptions survive closing the program (or a crash: the file
// is rewritten after every change, never half-written).
#pragma once

#include "checklist.h"
#include "measure_info.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagana {

inline constexpr const char* kSessionUnreadable = "Failed to read the saved inspection texts!";
inline constexpr const char* kSessionUnwritable = "Failed to save the inspection texts!";

struct SessionRow {
  std::filesystem::path path;
  bool checked = false;
  bool operator==(const SessionRow&) const = default;
};

struct Session {
  std::vector<SessionRow> rows;
  std::vector<CMeasureInfo> infos;
  bool operator==(const Session&) const = default;
};

Session sessionOf(const Checklist& checklist);

enum class SessionReadError { None, Missing, Unreadable };

struct SessionRead {
  SessionReadError error = SessionReadError::None;
  Session session;
};

SessionRead readSession(const std::filesystem::path& file);
// The contents of a session file; entries without their key are left out.
SessionRead parseSession(std::string_view bytes);
// The file's contents for a session (what parseSession reads back as the same session).
std::string encodeSession(const Session& session);
// False when the file could not be written; the earlier file is then left as it was.
bool writeSession(const std::filesystem::path& file, const Session& session);

// The user's own session file, in the program's data folder.
std::filesystem::path defaultSessionFile();

// Reloads the rows that still load (files moved away since are skipped quietly: their
// texts stay) and the texts. Done before the change listener is set, so restoring does
// not write the session back.
void restoreSession(Checklist& checklist, const Session& session);

}  // namespace pagana
