#include "session_store.h"
#include "snapshot_files.h"
#include "testing/case_name.h"
#include "testing/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>

namespace pagana {
namespace {

using namespace pagana::testing;

class SessionStoreTest : public ::testing::Test {
 protected:
  std::filesystem::path sessionFile() const { return folder_.path() / "state" / "session.json"; }
  testsupport::TempFolder folder_;
  desktop::ScriptedNotifier notifier_{"Pagana"};
};

TEST_F(SessionStoreTest, TextsAndRowsSurviveARestart) {
  const auto a = folder_.path() / "a.jpg";
  const auto b = folder_.path() / "b.jpg";
  ASSERT_TRUE(writeSnapshot(a));
  ASSERT_TRUE(writeSnapshot(b));
  {
    Checklist first(notifier_);
    first.setChangeListener([&] { ASSERT_TRUE(writeSession(sessionFile(), sessionOf(first))); });
    first.load(a);
    first.load(b);
    first.setChecked(1, true);
    first.select(0);
    first.addOrUpdate({"Acme", "Mill", "Hall 2", "Kim", "Line one\nLine \"two\" \xC2\xB0"});
  }
  const SessionRead read = readSession(sessionFile());
  ASSERT_EQ(read.error, SessionReadError::None);
  Checklist second(notifier_);
  restoreSession(second, read.session);
  ASSERT_EQ(second.rows().size(), 2u);
  EXPECT_FALSE(second.rows()[0].checked);
  EXPECT_TRUE(second.rows()[1].checked);
  second.select(0);
  EXPECT_EQ(second.editor().texts,
            (MeasureTexts{"Acme", "Mill", "Hall 2", "Kim", "Line one\nLine \"two\" \xC2\xB0"}));
}

TEST_F(SessionStoreTest, SnapshotMovedAwayKeepsItsTexts) {
  Session session;
  session.rows.push_back({folder_.path() / "gone.jpg", true});
  session.infos.push_back({"gone", "Acme", "", "", "", "Keep me"});
  Checklist list(notifier_);
  restoreSession(list, session);
  EXPECT_TRUE(list.rows().empty());
  ASSERT_NE(list.infos().find("gone"), nullptr);
  EXPECT_EQ(list.infos().find("gone")->description, "Keep me");
  EXPECT_TRUE(notifier_.shown().empty());
}

TEST_F(SessionStoreTest, MissingFileIsNoError) {
  EXPECT_EQ(readSession(sessionFile()).error, SessionReadError::Missing);
}

TEST_F(SessionStoreTest, DamagedFileIsReportedUnreadable) {
  std::filesystem::create_directories(sessionFile().parent_path());
  std::ofstream(sessionFile()) << "{\"rows\": [ {\"path\": ";
  EXPECT_EQ(readSession(sessionFile()).error, SessionReadError::Unreadable);
}

TEST_F(SessionStoreTest, WriteWhereAFolderStandsFails) {
  std::filesystem::create_directories(sessionFile());
  Session session;
  session.infos.push_back({"a", "Acme", "", "", "", "text"});
  EXPECT_FALSE(writeSession(sessionFile(), session));
}

TEST_F(SessionStoreTest, RewriteReplacesTheEarlierSession) {
  Session first;
  first.infos.push_back({"a", "Acme", "", "", "", "first"});
  ASSERT_TRUE(writeSession(sessionFile(), first));
  Session second;
  second.rows.push_back({"/pictures/b.jpg", true});
  second.infos.push_back({"a", "Acme", "", "", "", "second"});
  ASSERT_TRUE(writeSession(sessionFile(), second));
  EXPECT_EQ(readSession(sessionFile()).session, second);
}

struct ParseSessionCase {
  const char* name;
  std::string bytes;
  SessionReadError error;
  std::size_t rows = 0;
  std::size_t infos = 0;
};

// Failure messages name the case instead of dumping its bytes.
void PrintTo(const ParseSessionCase& c, std::ostream* out) { *out << c.name; }

const ParseSessionCase kParseSessionCases[] = {
    {.name = "empty", .bytes = "", .error = SessionReadError::Unreadable},
    {.name = "array instead of object", .bytes = "[1,2]", .error = SessionReadError::Unreadable},
    {.name = "cut short", .bytes = "{\"rows\": [", .error = SessionReadError::Unreadable},
    {.name = "empty object", .bytes = "{}", .error = SessionReadError::None},
    {.name = "lists of the wrong kind",
     .bytes = "{\"rows\": 5, \"measureInfos\": \"text\"}",
     .error = SessionReadError::None},
    {.name = "entries without their key",
     .bytes = "{\"rows\": [{\"checked\": true}, 3], "
              "\"measureInfos\": [{\"company\": \"Acme\"}, null]}",
     .error = SessionReadError::None},
    {.name = "one of each",
     .bytes = "{\"rows\": [{\"path\": \"/p/a.jpg\"}], "
              "\"measureInfos\": [{\"imageName\": \"a\", \"site\": 7}]}",
     .error = SessionReadError::None,
     .rows = 1,
     .infos = 1},
};

class SessionParsing : public ::testing::TestWithParam<ParseSessionCase> {};

TEST_P(SessionParsing, KeepsOnlyWellFormedEntries) {
  const ParseSessionCase& c = GetParam();
  const SessionRead read = parseSession(c.bytes);
  EXPECT_EQ(read.error, c.error);
  EXPECT_EQ(read.session.rows.size(), c.rows);
  EXPECT_EQ(read.session.infos.size(), c.infos);
}

INSTANTIATE_TEST_SUITE_P(Files, SessionParsing, ::testing::ValuesIn(kParseSessionCases),
                         testsupport::ByName());

}  // namespace
}  // namespace pagana
