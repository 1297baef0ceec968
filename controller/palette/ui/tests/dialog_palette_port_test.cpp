// The palette page's message boxes as the user sees them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "palette/ui/dialog_palette_port.h"

namespace tessor {
namespace {

// The camera half is the host's; this test needs only the dialogs.
struct DialogsOnly : DialogPalettePort {
  DialogsOnly() : DialogPalettePort(nullptr) {}
  int sendPalette(const PaletteRecord&) override { return -1; }
  bool cameraIsKt() const override { return false; }
  void selectVideoPalette(int) override {}
};

TEST(DialogPalettePort, MessageShowsTextAndCaption) {
  DialogsOnly port;
  QString title, text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    box->button(QMessageBox::Ok)->click();
  });
  port.message("Sended user palette!!!", "Message");
  EXPECT_EQ(title, "Message");
  EXPECT_EQ(text, "Sended user palette!!!");
}

}  // namespace
}  // namespace tessor
