#include "tools/args.h"

#include <optional>

const std::string* ToolArgs::value(std::string_view name) const {
  const std::string* found = nullptr;
  for (const auto& [opt, val] : options) {
    if (opt == name) found = &val;
  }
  return found;
}

bool parse_tool_args(int argc, char** argv, std::span<const ToolOption> known, ToolArgs* args,
                     std::string* error) {
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      args->positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    // The option as the messages name it, and a value given within the argument.
    std::string spelled;
    std::optional<std::string_view> value;
    const ToolOption* opt = nullptr;
    if (arg[1] == '-') {
      std::string_view name = arg.substr(2);
      if (size_t eq = name.find('='); eq != std::string_view::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
      spelled = "--" + std::string(name);
      for (const ToolOption& k : known) {
        if (name == k.name) opt = &k;
      }
      if (opt != nullptr && !opt->takes_value && value) {
        *error = "option " + spelled + " takes no value";
        return false;
      }
    } else {
      spelled = arg;
      if (arg.size() > 2) value = arg.substr(2);
      for (const ToolOption& k : known) {
        if (k.letter != 0 && arg[1] == k.letter) opt = &k;
      }
      // A flag stands alone: "-hu" is no option.
      if (opt != nullptr && !opt->takes_value && value) opt = nullptr;
    }
    if (opt == nullptr) {
      *error = "unknown option " + spelled;
      return false;
    }
    if (!opt->takes_value) {
      args->options.emplace_back(opt->name, "");
    } else if (value) {
      args->options.emplace_back(opt->name, *value);
    } else if (i + 1 < argc) {
      args->options.emplace_back(opt->name, argv[++i]);
    } else {
      *error = "option " + spelled + " needs a value";
      return false;
    }
  }
  return true;
}
