// The platform dialogs of the update page: what the user sees and what the answer means.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "palette/tests/named_case.h"
#include "update/ui/dialog_update_port.h"

namespace tessor {
namespace {

// The camera half is the host's; these tests need only the dialogs.
struct DialogsOnly : DialogUpdatePort {
  DialogsOnly() : DialogUpdatePort(nullptr) {}
  std::optional<uint32_t> cameraFirmwareVersion() const override { return std::nullopt; }
  bool sendFirmwareBlock(const FirmwareBlockRecord&, std::stop_token) override { return false; }
};

struct Shown {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Reads the message box once it is up and presses `button` in it.
void answerNextBox(Shown& shown, QMessageBox::StandardButton button) {
  QTimer::singleShot(0, [&shown, button] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = {box->windowTitle(), box->text(), box->icon()};
    box->button(button)->click();
  });
}

struct AskCase {
  const char* name;
  QMessageBox::StandardButton press;
  bool answer;
};

class DialogUpdatePortAsk : public ::testing::TestWithParam<AskCase> {};

TEST_P(DialogUpdatePortAsk, AsksWithTheQuestionIconAndTakesOnlyOkAsYes) {
  DialogsOnly port;
  Shown shown;
  answerNextBox(shown, GetParam().press);
  EXPECT_EQ(port.ask("Do you want to update a firmware?", "Information"), GetParam().answer);
  EXPECT_EQ(shown.title, "Information");
  EXPECT_EQ(shown.text, "Do you want to update a firmware?");
  EXPECT_EQ(shown.icon, QMessageBox::Question);
}

INSTANTIATE_TEST_SUITE_P(Buttons, DialogUpdatePortAsk,
                         ::testing::Values(AskCase{"Ok", QMessageBox::Ok, true},
                                           AskCase{"Cancel", QMessageBox::Cancel, false}),
                         testing::CaseName());

TEST(DialogUpdatePort, ErrorMessageShowsTheErrorIcon) {
  DialogsOnly port;
  Shown shown;
  answerNextBox(shown, QMessageBox::Ok);
  port.message("File CRC error!!", "Warining", MessageIcon::Error);
  EXPECT_EQ(shown.title, "Warining");
  EXPECT_EQ(shown.text, "File CRC error!!");
  EXPECT_EQ(shown.icon, QMessageBox::Critical);
}

}  // namespace
}  // namespace tessor
