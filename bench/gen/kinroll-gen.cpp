// kinroll-gen N FOLDER [SEED]: writes the report printouts and configuration
// files of an invented ward of N households into FOLDER (created when
// missing), and prints what the readers should find in them.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "gen/wardgen.h"

namespace {

bool parse_number(const char* text, unsigned long long max, unsigned long long* out) {
  if (*text < '0' || *text > '9') return false;
  errno = 0;
  char* end = nullptr;
  unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  *out = v;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long families = 0, seed = 1;
  if (argc < 3 || argc > 4 || !parse_number(argv[1], 10000000, &families) || families == 0 ||
      (argc == 4 && !parse_number(argv[3], ~0ULL, &seed))) {
    std::fprintf(stderr, "usage: kinroll-gen N FOLDER [SEED]   (N households, 1 to 10000000)\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[2], ec);
  if (ec) {
    std::fprintf(stderr, "kinroll-gen: cannot create %s: %s\n", argv[2], ec.message().c_str());
    return 1;
  }
  wardgen::GenOptions opt;
  opt.families = static_cast<int>(families);
  opt.seed = seed;
  wardgen::GenCounts c;
  std::string error;
  if (!wardgen::write_ward_printouts(argv[2], opt, &c, &error)) {
    std::fprintf(stderr, "kinroll-gen: %s\n", error.c_str());
    return 1;
  }
  std::printf("directory: %d families (%d cross-references), %d members, %d without record number\n",
              c.families, c.cross_refs, c.members, c.pseudo_recnos);
  std::printf("household listing: %d families, %d directory families unmatched\n", c.listing_families,
              c.listing_unmatched);
  std::printf("record numbers: %d lines (%d without comma), %d directory members unmatched\n",
              c.recno_lines, c.recno_no_comma, c.recno_unmatched);
  std::printf("teaching: %d home, %d visiting entries; %d phone faults, %d unknown group codes; "
              "%d households missing from the directory\n",
              c.ht_entries, c.vt_entries, c.teaching_phone_faults, c.unknown_group_codes, c.not_in_directory);
  std::printf("positions: %d units (%d not in the unit names file), %d organisations (%d headings "
              "not in the table), %d positions (%d vacant)\n",
              c.units, c.unlisted_units, c.orgs, c.unknown_headings, c.positions, c.vacant_positions);
  return 0;
}
