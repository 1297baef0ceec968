// The filter dialogs: kernel sizes (box, Gaussian with sigma, stack) and the bilateral
// filter's two parameters.
#pragma once

#include "view/display_choices.h"
#include "view/frame_pipeline.h"

#include <QDialog>

class QWidget;

namespace solvane {

// The blurs: asks for the blur's parameters and makes it the one blur that runs. False when
// the user cancelled (or the kind is no blur).
bool editFilter(FilterKind kind, FilterState& filters, QWidget* parent);

}  // namespace solvane
