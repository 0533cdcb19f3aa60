// kinroll-book: the ward directory as a PDF booklet for print: a cover,
// every family of the phone book in its order, two columns to a page, and
// the ward's positions when the folder holds the positions report. Exit
// status 0 when the PDF was written (then a summary line on the error
// stream), 2 on trouble (bad arguments, an output that is one of the
// printouts, a printout that cannot be read or is none, a file that cannot
// be written); 1 is not used.

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "book/content.h"
#include "book/geometry.h"
#include "book/heading.h"
#include "book/impose.h"
#include "book/paper.h"
#include "book/render.h"
#include "book/typeset.h"
#include "model/arena.h"
#include "tools/about.h"
#include "tools/args.h"
#include "tools/directory.h"
#include "tools/output.h"
#include "tools/samefile.h"
#include "tools/stamp.h"
#include "tools/status.h"
#include "tools/utf8.h"
#include "tools/wardread.h"

namespace {

constexpr ToolOption kOptions[] = {{"unit", true, 'u'}, {"paper", true},     {"booklet", false},
                                   {"pdf", true},       {"help", false, 'h'}, {"version", false}};

/// The font family of every text.
constexpr const char* kFontFamily = "DejaVu Sans";

void print_usage(FILE* fp) {
  std::fputs(
      "Usage: kinroll-book [-u unit] [--paper a4|letter] [--booklet] [--pdf FILE] [FOLDER]\n"
      "       kinroll-book --help | --version\n"
      "\n"
      "Typesets the ward directory of the printouts in FOLDER (default .) as a PDF\n"
      "booklet, FOLDER/wardbook.pdf: a cover, every family of the phone book with\n"
      "its address and phone in two columns, and the ward's positions when\n"
      "mis121.txt is there. Reads mis231.txt, and mis232.txt, mis239.txt,\n"
      "mis121.txt and wardorgs.txt when present.\n"
      "\n"
      "  -u, --unit unit    the unit name (default: as the directory prints it)\n"
      "      --paper PAPER  a4 or letter (default: the system's paper, else a4)\n"
      "      --booklet      two pages to each side of a landscape sheet, in booklet\n"
      "                     order, to print on both sides and fold once\n"
      "      --pdf FILE     write the PDF to FILE (- for standard output)\n"
      "  -h, --help         show this text and exit\n"
      "      --version      show the version and exit\n"
      "\n"
      "Exit status: 0 the PDF written, 2 trouble.\n"
      "See the manual page kinroll-book(1).\n",
      fp);
}

/// The command line, taken apart.
struct BookArgs {
  std::string dir = ".";
  std::string pdf;
  std::string unit;  ///< as typed; empty for the printout's
  bool has_unit = false;
  Paper paper = a4_paper();
  bool booklet = false;
};

/// Reads the command line `args` into `*a`. Returns what is wrong with it;
/// empty when nothing is.
std::string parse_args(const ToolArgs& args, BookArgs* a) {
  if (args.positional.size() > 1) return "more than one folder named";
  if (!args.positional.empty()) a->dir = args.positional[0];
  a->pdf = args.has("pdf") ? *args.value("pdf") : path_in_folder(a->dir, "wardbook.pdf");
  if (a->pdf.empty()) return "an output file needs a name";
  if (args.has("unit")) {
    a->unit = *args.value("unit");
    a->has_unit = true;
  }
  if (args.has("paper")) {
    std::optional<Paper> paper = paper_by_name(*args.value("paper"));
    if (!paper) return "unknown paper " + *args.value("paper") + " (a4 or letter)";
    a->paper = *paper;
  } else {
    a->paper = system_paper();
  }
  a->booklet = args.has("booklet");
  return "";
}

/// `name` as the summary line names an output.
std::string output_name(const std::string& name) {
  return name == "-" ? "standard output" : name;
}

/// The booklet's content from the folder's ward list `ward` and positions
/// `orgs`: the unit as typed, else as the directory prints it, else
/// "Ward"; the month of the directory's date, else of `stamp`.
BookContent make_content(const BookArgs& a, const WardFamily* ward, const WardOrg* orgs,
                         std::time_t stamp) {
  BookContent content;
  DirectoryHeading heading = read_directory_heading(ward_folder_files(a.dir)[0].path);
  content.unit = a.has_unit            ? utf8_from_argument(a.unit)
                 : heading.unit.empty() ? "Ward"
                                        : utf8_from_latin1(heading.unit);
  if (heading.month == 0) {
    std::tm tm{};
    gmtime_r(&stamp, &tm);
    heading.month = tm.tm_mon + 1;
    heading.year = tm.tm_year + 1900;
  }
  content.date = month_and_year(heading.month, heading.year);
  count_households(ward, &content.households, &content.members);
  content.directory = directory_blocks(ward);
  content.positions = position_blocks(orgs);
  return content;
}

int run(int argc, char** argv) {
  ToolArgs args;
  int status;
  if (!read_command_line(argc, argv, kOptions, print_usage, &args, &status)) return status;
  BookArgs a;
  std::string trouble = parse_args(args, &a);
  if (!trouble.empty()) return usage_trouble(trouble.c_str());
  if (!is_folder(a.dir)) {
    tool_error("%s is not a folder", a.dir.c_str());
    return kExitTrouble;
  }
  std::vector<ReadFile> inputs = ward_folder_files(a.dir);
  for (ReadFile& file : ward_position_files(a.dir)) inputs.push_back(file);
  std::time_t stamp = 0;
  if (!output_spares_inputs("--pdf", a.pdf, inputs) || !output_stamp(&stamp)) {
    return kExitTrouble;
  }

  Arena arena;
  WardFamily* ward = nullptr;
  WardOrg* orgs = nullptr;
  if (!read_ward_folder(a.dir, arena, &ward) || !read_ward_positions(a.dir, arena, ward, &orgs)) {
    return kExitTrouble;
  }
  BookContent content = make_content(a, ward, orgs, stamp);

  // A booklet's page is half its sheet, turned.
  Geometry geometry = a.booklet ? page_geometry(a.paper.height / 2, a.paper.width)
                                : page_geometry(a.paper.width, a.paper.height);
  Typesetter typesetter(geometry, kFontFamily);
  BookPlan plan = plan_book(content, typesetter, geometry);
  PdfSettings settings{a.booklet, stamp};
  size_t written = 0;
  bool ok = write_output_checked(a.pdf, [&](FILE* fp) {
    written = write_book_pdf(fp, content, plan, typesetter, geometry, settings);
    return written > 0;
  });
  if (!ok) return kExitTrouble;
  size_t pages = plan.page_count();
  if (a.booklet) {
    size_t sheets = written / 2;
    tool_error("%d households, %zu pages on %zu sheet%s (%s) to %s", content.households,
               booklet_pages(pages), sheets, sheets == 1 ? "" : "s", a.paper.name.c_str(),
               output_name(a.pdf).c_str());
  } else {
    tool_error("%d households, %zu pages (%s) to %s", content.households, pages,
               a.paper.name.c_str(), output_name(a.pdf).c_str());
  }
  return kExitSame;
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("kinroll-book");
  return run(argc, argv);
}
