#include "controls/material_table.h"

#include "controls/refusal.h"

namespace solvane::controls {

namespace {

MaterialNode group(std::string name, std::vector<std::string> leaves) {
  MaterialNode node{std::move(name), {}};
  for (auto& leaf : leaves) node.children.push_back(MaterialNode{std::move(leaf), {}});
  return node;
}

std::vector<MaterialNode> buildTree() {
  MaterialNode metals{"Metals", {}};
  metals.children = {
      group("Aluminum", {"polished = 0.05", "rough surface = 0.07", "strongly oxidized = 0.25"}),
      group("Brass", {"dull, tarnished = 0.22", "polished = 0.03"}),
      group("Bronze", {"rough casting = 0.55", "polished = 0.1"}),
      group("Cast iron", {"rough casting = 0.81", "polished = 0.21"}),
      group("Chromium", {"polished = 0.1"}),
      group("Copper", {"polished = 0.01", "commercial burnished = 0.07", "oxidized = 0.65",
                       "oxidized to black = 0.88"}),
      group("Gold", {"polished = 0.02"}),
      group("Iron", {"hot rolled = 0.77", "oxidized = 0.74", "sheet galvanized, burnished = 0.23",
                     "sheet, galvanized, oxidized = 0.28", "shiny, etched = 0.16",
                     "wrought, polished = 0.28"}),
      group("Lead", {"gray = 0.28", "oxidized = 0.63", "red, powdered = 0.93", "shiny = 0.08"}),
      group("Mercury", {"pure = 0.1"}),
      group("Nickel", {"on cast iron = 0.05", "pure polished = 0.05"}),
      group("Platinum", {"pure, polished = 0.08"}),
      group("Steel", {"galvanized = 0.28", "oxidized strongly = 0.88", "rolled freshly = 0.24",
                      "rough surface = 0.96", "rusty red = 0.69", "sheet, nickelplated = 0.11",
                      "sheet, rolled = 0.56"}),
      group("Tin", {"burnished = 0.05"}),
      group("Zinc", {"sheet = 0.2"}),
  };
  MaterialNode nonMetals{"Non-Metals", {}};
  nonMetals.children = {
      group("Asbestos", {"board = 0.96", "fabric = 0.78", "paper = 0.94", "slate = 0.96"}),
      group("Brick", {"common = 0.85", "glazed, rough = 0.85", "refractory, rough = 0.94"}),
      group("Carbon", {"purified = 0.8"}),
      group("Clay", {"fired = 0.91"}),
      group("Concrete", {"concrete = 0.54"}),
      group("Soil", {"Frozen = 0.93"}),
      group("Glass", {"glass = 0.92", "frosted = 0.96"}),
      group("Ice", {"ice = 0.97"}),
      group("Lacquer",
            {"bakelite = 0.93", "black, dull = 0.97", "black, shiny = 0.87", "white = 0.87"}),
      group("Lampblack", {"lampblack = 0.96"}),
      group("Paint", {"silver finish = 0.31", "oil, average = 0.94"}),
      group("Paper", {"black, shiny = 0.9", "black, dull = 0.94", "white = 0.9", "tar = 0.92"}),
      group("Rubber", {"rubber = 0.93"}),
      group("Shellac", {"black, dull = 0.91", "black, shiny = 0.82"}),
      group("Snow", {"snow = 0.80"}),
      group("Water", {"water = 0.98"}),
  };
  return {MaterialNode{"Skin. human = 0.98", {}}, std::move(metals), std::move(nonMetals)};
}

}  // namespace

const std::vector<MaterialNode>& materialTree() {
  static const std::vector<MaterialNode> tree = buildTree();
  return tree;
}

std::optional<float> emissivityOfItem(std::string_view text) {
  const auto equals = text.rfind('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::string_view number = text.substr(equals + 1);
  while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
  double value = 0;
  if (!parseDecimal(number, value)) return std::nullopt;
  return static_cast<float>(value);
}

}  // namespace solvane::controls
