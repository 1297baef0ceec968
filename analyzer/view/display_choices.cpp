#include "view/display_choices.h"

namespace solvane {

int32_t kernelTypeOf(FilterKind kind) {
  for (const FilterChoice& choice : kFilters)
    if (choice.kind == kind) return choice.kernelType;
  return 0;
}

FilterKind filterOfKernelType(int32_t kernelType) {
  if (kernelType == 0) return FilterKind::None;
  for (const FilterChoice& choice : kFilters)
    if (choice.kernelType == kernelType) return choice.kind;
  return FilterKind::None;
}

bool isBlur(FilterKind kind) {
  for (const FilterChoice& choice : kFilters)
    if (choice.kind == kind) return choice.blur;
  return false;
}

}  // namespace solvane
