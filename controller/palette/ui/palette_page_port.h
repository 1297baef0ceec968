// What the palette page needs from the window that hosts it: the camera connection, the
// user's choices in modal dialogs, and the KT "Video" page's palette list.
#pragma once

#include <optional>
#include <string>

#include "palette/palette_record.h"
#include "palette/peg.h"

namespace tessor {

class PalettePagePort {
 public:
  virtual ~PalettePagePort() = default;
  // Sends the record with the SDK's palette message; returns its status (1 success).
  virtual int sendPalette(const PaletteRecord& record) = 0;
  // A modal message box.
  virtual void message(const std::string& text, const std::string& caption) = 0;
  // A colour dialog; empty when cancelled.
  virtual std::optional<ColourRef> chooseColour(ColourRef initial) = 0;
  // File dialogs for colour-scheme files; empty when cancelled.
  virtual std::optional<std::string> chooseSchemeToLoad() = 0;
  virtual std::optional<std::string> chooseSchemeToSave() = 0;
  // KT cameras only: select this entry of the "Video" page's palette list.
  virtual bool cameraIsKt() const = 0;
  virtual void selectVideoPalette(int listIndex) = 0;
};

}  // namespace tessor
