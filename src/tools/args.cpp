#include "tools/args.h"

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
    if (options_end || !arg.starts_with("--")) {
      args->positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    std::string_view name = arg.substr(2);
    std::string_view inline_value;
    bool has_inline = false;
    if (size_t eq = name.find('='); eq != std::string_view::npos) {
      inline_value = name.substr(eq + 1);
      name = name.substr(0, eq);
      has_inline = true;
    }
    const ToolOption* opt = nullptr;
    for (const ToolOption& k : known) {
      if (name == k.name) opt = &k;
    }
    if (opt == nullptr) {
      *error = "unknown option --" + std::string(name);
      return false;
    }
    if (!opt->takes_value) {
      if (has_inline) {
        *error = "option --" + std::string(name) + " takes no value";
        return false;
      }
      args->options.emplace_back(name, "");
      continue;
    }
    if (has_inline) {
      args->options.emplace_back(name, inline_value);
    } else if (i + 1 < argc) {
      args->options.emplace_back(name, argv[++i]);
    } else {
      *error = "option --" + std::string(name) + " needs a value";
      return false;
    }
  }
  return true;
}
