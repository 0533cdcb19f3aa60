#pragma once
// What the programs of a job printed, as the clerk reads it: lines grouped
// by kind across every program, each known kind with a sentence on what it
// means and what to do.

#include <string>
#include <string_view>
#include <vector>

/// A kind of message with every line of that kind.
struct MessageGroup {
  std::string kind;     ///< the message with its variable parts as "..."
  const char* meaning;  ///< what it means and what to do; null for a kind not known
  std::vector<std::string> lines;
};

/// The lines of `text` (what the programs printed, one after another)
/// grouped by kind, groups in the order of their first line, lines in their
/// order. A line of a known kind (a message the programs print, matched
/// with its variable parts) takes that kind; any other line's kind is the
/// line with every quoted, bracketed or parenthesized part and every number
/// written as "...". Empty lines, "Program terminating" and the companions'
/// summary lines ("kinroll-changes: 10 changes") are left out.
std::vector<MessageGroup> group_messages(std::string_view text);
