#include "web/place.h"

#include <cstdio>
#include <map>

#include "web/encoding.h"
#include "web/recognise.h"
#include "web/sniff.h"
#include "web/text.h"
#include "web/upload.h"

namespace {

/// How much of a line a sentence for the clerk quotes.
constexpr size_t kQuoted = 80;

/// What one file is taken for, before anything is moved.
struct Judged {
  const BatchInput* input = nullptr;  // null: not taken
  bool last_month = false;            // taken as last month's directory
  bool convert = false;               // UTF-8, to be written as Latin-1
  bool refused = false;
  std::string note;
};

Judged refuse(std::string why) { return {nullptr, false, false, true, std::move(why)}; }

/// How a sentence names `in`: "the MIS 231 directory of members", "the
/// stake's units (wardunits.txt)".
std::string the(const BatchInput& in) {
  return in.shape != nullptr ? in.what : std::string("the ") + in.what;
}

/// How a sentence names what `j` is taken for.
std::string taken_for(const Judged& j) {
  return j.last_month ? "last month's directory" : the(*j.input);
}

/// The box of the form a file was chosen in, as a sentence names it.
const char* box_name(const std::string& field) {
  return field == kUnitsField ? "the stake's units" : "the organisation table";
}

/// `text`, a line of a file, as a sentence quotes it: UTF-8, at most
/// kQuoted bytes of it.
std::string quoted(const std::string& text, bool utf8) {
  std::string shown = utf8 ? text : utf8_from_latin1(text);
  if (shown.size() > kQuoted) {
    size_t cut = kQuoted;
    while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80) --cut;
    shown = shown.substr(0, cut) + "…";
  }
  return "\"" + shown + "\"";
}

/// Takes the text file `path` (no PDF, no NUL byte) that came as `part` for
/// the input it is, by its box, its title and its name. `utf8` tells how
/// its lines are quoted.
Judged take(const ReceivedFile& part, const std::string& path, std::string_view head, bool utf8) {
  const BatchInput* printout = input_by_title(head);
  const BatchInput* named = input_by_name(part.name);
  auto shaped = [&](const BatchInput& config) -> Judged {
    ConfigFit fit = fit_config(path, config);
    if (fit.bad_line == 0) return {&config, false, false, false, ""};
    return refuse(part.name + " cannot be " + the(config) + ": its line " +
                  std::to_string(fit.bad_line) + " is not of the form " + config.shape + " but " +
                  quoted(fit.bad_text, utf8));
  };
  if (part.field == kLastMonthField) {
    if (printout == &kDirectoryInput) return {printout, true, false, false, ""};
    return refuse(part.name + (printout != nullptr ? " is " + the(*printout) + "," : " is") +
                  " not a directory of members (MIS 231): only last month's directory goes in "
                  "its box");
  }
  if (printout != nullptr) {
    Judged j{printout, false, false, false, ""};
    // A printout chosen as a configuration file goes among the printouts,
    // where the two-files check still keeps it from standing in for another.
    if (part.field != kPrintoutsField) {
      j.note = "chosen as " + std::string(box_name(part.field)) + ", it is " + the(*printout) +
               " by its title";
    }
    return j;
  }
  if (part.field != kPrintoutsField) {
    const BatchInput& config = part.field == kUnitsField ? kUnitsInput : kOrgsInput;
    if (named != nullptr && named != &config && named->shape != nullptr) {
      return refuse(part.name + " is named like " + the(*named) + ": choose it in its own box, "
                    "not as " + box_name(part.field));
    }
    return shaped(config);
  }
  // Among the printouts: a configuration file is told by its standard name,
  // since the two kinds have lines of one shape (three fields), and taken
  // when its lines have that shape; with two for one box, the two-files
  // check refuses both.
  if (named != nullptr && named->shape != nullptr) return shaped(*named);
  if (named != nullptr) {
    return refuse(part.name + " is named like " + the(*named) +
                  ", but its first line is not that report's title: choose the saved printout "
                  "itself");
  }
  ConfigFit fit = fit_config(path, kOrgsInput);
  if (fit.bad_line == 0 && fit.entries > 0) {
    return refuse(part.name + " looks like a configuration file (wardunits.txt or "
                  "wardorgs.txt): choose it in its own box");
  }
  return {nullptr, false, false, false,
          "not recognised: none of the printouts or configuration files"};
}

/// Reads the received file `path` whole and judges it.
Judged judge(const ReceivedFile& part, const std::string& path) {
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (fp == nullptr) return refuse(part.name + " could not be read on this computer");
  std::string head(kSniffWindow, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), fp));
  FileKind kind = sniff_kind(head);
  TextScan scan;
  if (kind == FileKind::kText) {
    scan.add(head);
    std::string piece(1 << 16, '\0');
    for (size_t got; (got = std::fread(piece.data(), 1, piece.size(), fp)) > 0;) {
      scan.add(std::string_view(piece.data(), got));
    }
    scan.end();
  }
  bool read = !std::ferror(fp);
  std::fclose(fp);
  if (kind != FileKind::kText) {
    return refuse(part.name + " is " + kind_name(kind) +
                  ", not a saved printout: save the report as text");
  }
  if (!read) return refuse(part.name + " could not be read on this computer");
  if (scan.nul()) {
    return refuse(part.name +
                  " is not a saved printout (it holds binary bytes): save the report as text");
  }
  TextEncoding encoding = scan.encoding();
  Judged j = take(part, path, head, encoding != TextEncoding::kLatin1);
  if (j.input == nullptr) return j;
  if (encoding == TextEncoding::kUtf8Wide) {
    return refuse(part.name + " was saved as UTF-8 and cannot be turned back into Latin-1: its "
                  "line " + std::to_string(scan.wide_line()) +
                  " holds a character that Latin-1 does not have: " +
                  quoted(scan.wide_text(), true));
  }
  j.convert = encoding == TextEncoding::kUtf8;
  return j;
}

/// "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

}  // namespace

Placement place_uploads(const std::vector<ReceivedFile>& files, const std::string& folder,
                        const std::atomic<bool>& cancel) {
  Placement placed;
  std::vector<Judged> judged;
  for (size_t i = 0; i < files.size(); ++i) {
    if (cancel) {
      placed.refusals.push_back("The lists were stopped because the program was ending.");
      return placed;
    }
    judged.push_back(judge(files[i], folder + "/up/" + std::to_string(i)));
    const Judged& j = judged.back();
    placed.uploads.push_back({files[i].name, files[i].size, nullptr, false, j.refused, j.note});
    if (j.refused) placed.refusals.push_back(j.note);
  }

  // Two files for one input: none of them is taken.
  std::map<std::pair<const BatchInput*, bool>, std::vector<size_t>> takers;
  for (size_t i = 0; i < judged.size(); ++i) {
    if (judged[i].input != nullptr) takers[{judged[i].input, judged[i].last_month}].push_back(i);
  }
  for (const auto& [input, which] : takers) {
    if (which.size() < 2) continue;
    std::vector<std::string> names;
    for (size_t i : which) names.push_back(files[i].name);
    std::string what = taken_for(judged[which[0]]);
    bool directory = input.first == &kDirectoryInput && !input.second;
    placed.refusals.push_back((which.size() == 2 ? "Two" : std::to_string(which.size())) +
                              " files were sent for " + what + ", " + listed(names) +
                              ": choose one of them" +
                              (directory ? " (last month's directory has a box of its own)" : ""));
    for (size_t i : which) {
      placed.uploads[i].refused = true;
      placed.uploads[i].note = "one of " + std::to_string(which.size()) + " files for " + what;
    }
  }
  if (!placed.refusals.empty()) {
    for (size_t i = 0; i < judged.size(); ++i) {
      if (judged[i].input == nullptr || placed.uploads[i].refused) continue;
      placed.uploads[i].note = "it is " + taken_for(judged[i]) + ", but no list was made";
    }
    return placed;
  }

  for (size_t i = 0; i < judged.size(); ++i) {
    const Judged& j = judged[i];
    if (j.input == nullptr) continue;
    UploadedFile& up = placed.uploads[i];
    std::string from = folder + "/up/" + std::to_string(i);
    std::string to = j.last_month ? folder + "/last/mis231.txt" : folder + "/work/" + j.input->file;
    bool moved = j.convert ? write_latin1_copy(from, to) && std::remove(from.c_str()) == 0
                           : std::rename(from.c_str(), to.c_str()) == 0;
    if (!moved) {
      up.refused = true;
      up.note = up.name + " could not be saved on this computer";
      placed.refusals.push_back(up.note);
      continue;
    }
    up.taken_as = j.last_month ? "last month's mis231.txt" : j.input->file;
    up.converted = j.convert;
    placed.has_directory = placed.has_directory || (!j.last_month && j.input == &kDirectoryInput);
    placed.has_last_month = placed.has_last_month || j.last_month;
  }
  return placed;
}
