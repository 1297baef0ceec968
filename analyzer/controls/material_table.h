// The emissivity table: materials and their surfaces, in the order the dialog shows them. A
// leaf's text ends in " = " and the emissivity, which is what choosing it reads back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace solvane::controls {

inline constexpr std::string_view kSelectMaterialText = "Please, select meterial item!";

struct MaterialNode {
  std::string text;
  std::vector<MaterialNode> children;
};

// The root level in display order.
const std::vector<MaterialNode>& materialTree();

// The emissivity an item's text names: the text after its last '=', leading blanks removed, read
// as a decimal number. Nothing for a group (no '=') or a text that does not end in a number.
std::optional<float> emissivityOfItem(std::string_view text);

}  // namespace solvane::controls
