// The command line of one subcommand: its options (each with or without a value) and its
// positional arguments. "--name value" and "--name=value" are both accepted; "--" ends the
// options, so a file name may begin with a dash.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace irdexcli {

struct OptionRule {
  std::string name;  // without the dashes
  bool takesValue = false;
};

class Arguments {
 public:
  // Throws a usage error naming an unknown option or an option without its value.
  static Arguments parse(const std::vector<std::string>& words,
                         const std::vector<OptionRule>& options, const std::string& command);

  bool has(const std::string& name) const { return values_.count(name) != 0; }
  std::optional<std::string> value(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }
  bool helpRequested() const { return help_; }

  // The option's value as a number, or `fallback` when the option is absent. Throws a usage
  // error naming the option when the text is not a number in [low, high].
  double number(const std::string& name, double fallback, double low, double high) const;
  int64_t integer(const std::string& name, int64_t fallback, int64_t low, int64_t high) const;

  // Throws unless there are exactly `count` positional arguments, naming what is expected.
  void expectPositional(std::size_t count, const std::string& usage) const;
  void expectAtLeast(std::size_t count, const std::string& usage) const;

 private:
  std::string command_;
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
  bool help_ = false;
};

// Whole-text number parsing: "12x", "", "nan" and "inf" are refused.
std::optional<double> parseNumber(const std::string& text);
std::optional<int64_t> parseInteger(const std::string& text);

}  // namespace irdexcli
