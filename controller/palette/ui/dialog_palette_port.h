// The dialog half of the palette page's port, with the platform's dialogs: colour choice,
// colour-scheme files and message boxes. The host window adds the camera half.
#pragma once

#include <QPointer>
#include <QWidget>

#include "palette/ui/palette_page_port.h"

namespace tessor {

class DialogPalettePort : public PalettePagePort {
 public:
  explicit DialogPalettePort(QWidget* parent) : parent_(parent) {}

  void message(const std::string& text, const std::string& caption) override;
  std::optional<ColourRef> chooseColour(ColourRef initial) override;
  std::optional<std::string> chooseSchemeToLoad() override;
  std::optional<std::string> chooseSchemeToSave() override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tessor
