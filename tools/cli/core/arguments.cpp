#include "arguments.h"

#include "cli_error.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace irdexcli {

std::optional<double> parseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int64_t> parseInteger(const std::string& text) {
  if (text.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || end != text.c_str() + text.size()) return std::nullopt;
  return static_cast<int64_t>(value);
}

Arguments Arguments::parse(const std::vector<std::string>& words,
                           const std::vector<OptionRule>& options, const std::string& command) {
  Arguments args;
  args.command_ = command;
  const std::string seeHelp = " (see 'irdex " + command + " --help')";
  bool optionsEnded = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (optionsEnded || word.size() < 2 || word[0] != '-' ||
        (word[1] != '-' && word != "-h" && word != "-q")) {
      args.positional_.push_back(word);
      continue;
    }
    if (word == "--") {
      optionsEnded = true;
      continue;
    }
    if (word == "--help" || word == "-h") {
      args.help_ = true;
      continue;
    }
    std::string name = word == "-q" ? "quiet" : word.substr(2);
    std::optional<std::string> inlineValue;
    if (const auto equals = name.find('='); equals != std::string::npos) {
      inlineValue = name.substr(equals + 1);
      name.resize(equals);
    }
    const OptionRule* rule = nullptr;
    for (const auto& candidate : options)
      if (candidate.name == name) rule = &candidate;
    if (!rule) throw usageError("unknown option '--" + name + "'" + seeHelp);
    if (!rule->takesValue) {
      if (inlineValue) throw usageError("option '--" + name + "' takes no value" + seeHelp);
      args.values_[name] = "";
      continue;
    }
    if (!inlineValue) {
      if (i + 1 >= words.size())
        throw usageError("option '--" + name + "' needs a value" + seeHelp);
      inlineValue = words[++i];
    }
    args.values_[name] = *inlineValue;
  }
  return args;
}

std::optional<std::string> Arguments::value(const std::string& name) const {
  const auto found = values_.find(name);
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

double Arguments::number(const std::string& name, double fallback, double low, double high) const {
  const auto text = value(name);
  if (!text) return fallback;
  const auto parsed = parseNumber(*text);
  if (!parsed || *parsed < low || *parsed > high) {
    char range[96];
    std::snprintf(range, sizeof range, " must be a number from %g to %g", low, high);
    throw usageError("--" + name + range + ", not '" + *text + "'");
  }
  return *parsed;
}

int64_t Arguments::integer(const std::string& name, int64_t fallback, int64_t low,
                           int64_t high) const {
  const auto text = value(name);
  if (!text) return fallback;
  const auto parsed = parseInteger(*text);
  if (!parsed || *parsed < low || *parsed > high) {
    throw usageError("--" + name + " must be a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not '" + *text + "'");
  }
  return *parsed;
}

void Arguments::expectPositional(std::size_t count, const std::string& usage) const {
  if (positional_.size() != count) {
    throw usageError(
        (positional_.size() < count ? "missing argument: usage: " : "too many arguments: usage: ") +
        usage);
  }
}

void Arguments::expectAtLeast(std::size_t count, const std::string& usage) const {
  if (positional_.size() < count) throw usageError("missing argument: usage: " + usage);
}

}  // namespace irdexcli
