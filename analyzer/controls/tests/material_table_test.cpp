#include "controls/material_table.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

namespace solvane::controls {
namespace {

const MaterialNode* find(const std::vector<MaterialNode>& nodes, const std::string& text) {
  for (const auto& node : nodes)
    if (node.text == text) return &node;
  return nullptr;
}

std::vector<std::string> textsOf(const MaterialNode& node) {
  std::vector<std::string> texts;
  for (const auto& child : node.children) texts.push_back(child.text);
  return texts;
}

TEST(MaterialTable, ConcreteSetsFiftyFourHundredths) {
  const MaterialNode* nonMetals = find(materialTree(), "Non-Metals");
  ASSERT_NE(nonMetals, nullptr);
  const MaterialNode* concrete = find(nonMetals->children, "Concrete");
  ASSERT_NE(concrete, nullptr);
  ASSERT_EQ(concrete->children.size(), 1u);
  EXPECT_EQ(emissivityOfItem(concrete->children[0].text), 0.54f);
}

TEST(MaterialTable, RootShowsSkinThenMetalsThenNonMetals) {
  std::vector<std::string> roots;
  for (const auto& node : materialTree()) roots.push_back(node.text);
  EXPECT_EQ(roots, (std::vector<std::string>{"Skin. human = 0.98", "Metals", "Non-Metals"}));
}

TEST(MaterialTable, KeepsTheMaterialsInTheirDisplayOrder) {
  EXPECT_EQ(textsOf(*find(materialTree(), "Metals")),
            (std::vector<std::string>{"Aluminum", "Brass", "Bronze", "Cast iron", "Chromium",
                                      "Copper", "Gold", "Iron", "Lead", "Mercury", "Nickel",
                                      "Platinum", "Steel", "Tin", "Zinc"}));
  EXPECT_EQ(textsOf(*find(materialTree(), "Non-Metals")),
            (std::vector<std::string>{"Asbestos", "Brick", "Carbon", "Clay", "Concrete", "Soil",
                                      "Glass", "Ice", "Lacquer", "Lampblack", "Paint", "Paper",
                                      "Rubber", "Shellac", "Snow", "Water"}));
}

TEST(MaterialTable, EveryLeafNamesAnEmissivityAndEveryGroupNone) {
  int leaves = 0;
  auto visit = [&](const auto& self, const MaterialNode& node) -> void {
    const auto value = emissivityOfItem(node.text);
    if (node.children.empty()) {
      ++leaves;
      ASSERT_TRUE(value.has_value()) << node.text;
      EXPECT_GT(*value, 0.0f) << node.text;
      EXPECT_LE(*value, 1.0f) << node.text;
    } else {
      EXPECT_FALSE(value.has_value()) << node.text;
    }
    for (const auto& child : node.children) self(self, child);
  };
  for (const auto& node : materialTree()) visit(visit, node);
  EXPECT_EQ(leaves, 69);
}

struct ItemCase {
  std::string name;
  std::string text;
  std::optional<float> value;
};
void PrintTo(const ItemCase& c, std::ostream* os) { *os << c.name; }

class ItemText : public ::testing::TestWithParam<ItemCase> {};

TEST_P(ItemText, ReadsTheNumberAfterTheLastEquals) {
  EXPECT_EQ(emissivityOfItem(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ItemText,
    ::testing::Values(ItemCase{"leaf", "snow = 0.80", 0.8f},
                      ItemCase{"comma_in_name", "sheet, galvanized, oxidized = 0.28", 0.28f},
                      ItemCase{"two_equals", "a = b = 0.3", 0.3f},
                      ItemCase{"group", "Metals", std::nullopt},
                      ItemCase{"nothing_after_equals", "broken =", std::nullopt},
                      ItemCase{"words_after_equals", "broken = high", std::nullopt}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace solvane::controls
