// Window tests answer modal dialogs from inside their own event loop: the wait for the next
// one, written once.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <type_traits>

namespace solvane::window_test {

// Runs `act` on the next modal dialog of type T once it shows, then closes it if `act` left
// it open (a failed check inside `act` returns early; the dialog must still end). The flag
// tells whether one was shown.
template <class T = QDialog>
std::shared_ptr<bool> onNextDialog(std::type_identity_t<std::function<void(T&)>> act) {
  auto handled = std::make_shared<bool>(false);
  QTimer::singleShot(0, [act = std::move(act), handled] {
    for (int attempt = 0; attempt < 1000; ++attempt) {
      if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
        *handled = true;
        act(*dialog);
        if (dialog->isVisible()) dialog->reject();
        return;
      }
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  });
  return handled;
}

}  // namespace solvane::window_test
