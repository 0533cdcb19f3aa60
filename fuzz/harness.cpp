#include "fuzz/harness.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "lists/unitnames.h"
#include "menu/wardunits.h"
#include "model/listing.h"
#include "readers/mis231.h"
#include "readers/wardorgs.h"
#include "writers/htdist.h"
#include "writers/stakedoc.h"
#include "writers/wardcsv.h"
#include "writers/wardht.h"
#include "writers/wardlists.h"
#include "writers/wardpalm.h"
#include "writers/wardpos.h"
#include "writers/wardsave.h"

namespace fs = std::filesystem;

namespace fuzz {

namespace {

/// Where console output goes during a run: /dev/null, or the console itself
/// when KINROLL_FUZZ_VERBOSE is set.
FILE* quiet_stream() {
  static FILE* sink = std::getenv("KINROLL_FUZZ_VERBOSE") != nullptr
                          ? nullptr
                          : std::fopen("/dev/null", "w");
  return sink;
}

void remove_scratch();

/// The folder that holds the scratch folder two levels down
/// (<root>/outer/inner/work), so that a file written through a name that
/// climbs out of the scratch folder shows up beside it.
const std::string& scratch_root() {
  static const std::string root = [] {
    std::string tmpl = (fs::temp_directory_path() / "kinroll-fuzz-XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) std::abort();
    fs::create_directories(tmpl + "/outer/inner/work");
    return tmpl;
  }();
  static const bool registered = (std::atexit(remove_scratch), true);
  (void)registered;
  return root;
}

/// True when `dir` holds exactly one entry, named `name`.
bool holds_only(const std::string& dir, const char* name) {
  std::error_code ec;
  size_t n = 0;
  bool found = false;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    ++n;
    found = found || entry.path().filename() == name;
  }
  return n == 1 && found;
}

void remove_scratch() {
  std::error_code ec;
  fs::remove_all(scratch_root(), ec);
}

}  // namespace

std::vector<std::string_view> split_parts(const uint8_t* data, size_t size, size_t max) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < max) {
    size_t cut = rest.find(kSeparator);
    if (cut == std::string_view::npos) break;
    parts.push_back(rest.substr(0, cut));
    rest.remove_prefix(cut + 1);
  }
  parts.push_back(rest);
  return parts;
}

void expect(bool ok, const char* what) {
  if (ok) return;
  // The console streams may be silenced: the descriptor is not.
  const char* head = "kinroll fuzz check failed: ";
  ssize_t n = ::write(2, head, std::strlen(head));
  n = ::write(2, what, std::strlen(what));
  n = ::write(2, "\n", 1);
  (void)n;
  std::abort();
}

const std::string_view* part(const std::vector<std::string_view>& parts, size_t i) {
  return i < parts.size() ? &parts[i] : nullptr;
}

std::optional<std::string> with_crlf(std::string_view bytes) {
  if (bytes.find('\r') != std::string_view::npos) return std::nullopt;
  std::string out;
  size_t start = 0;
  for (size_t nl = bytes.find('\n'); nl != std::string_view::npos; nl = bytes.find('\n', start)) {
    if (nl - start > 509) return std::nullopt;
    out.append(bytes.substr(start, nl - start));
    out += "\r\n";
    start = nl + 1;
  }
  if (bytes.size() - start > 509) return std::nullopt;
  out.append(bytes.substr(start));
  return out;
}

FILE* open_bytes(std::string_view bytes) {
  // fmemopen refuses an empty buffer: an empty file is a stream at its end.
  static char empty[1];
  if (bytes.empty()) {
    FILE* fp = fmemopen(empty, 1, "r");
    if (fp != nullptr) std::fgetc(fp);
    return fp;
  }
  return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
}

MemOut::MemOut() : fp_(open_memstream(&buf_, &len_)) {
  if (fp_ == nullptr) std::abort();
}

MemOut::~MemOut() {
  std::fclose(fp_);
  std::free(buf_);
}

std::string_view MemOut::text() {
  std::fflush(fp_);
  return std::string_view(buf_, len_);
}

const std::string& scratch() {
  static const std::string dir = scratch_root() + "/outer/inner/work";
  return dir;
}

std::string folder(const std::string& name) {
  std::string path = scratch() + "/" + name;
  std::error_code ec;
  fs::create_directory(path, ec);
  return path;
}

std::string put_file(const std::string& name, std::string_view bytes) {
  std::string path = scratch() + "/" + name;
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (fp == nullptr) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), fp);
  std::fclose(fp);
  return path;
}

void clear_scratch() {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(scratch(), ec)) fs::remove_all(entry.path(), ec);
  const std::string& root = scratch_root();
  expect(holds_only(root, "outer") && holds_only(root + "/outer", "inner") &&
             holds_only(root + "/outer/inner", "work"),
         "a file was written outside its folder");
}

Run::Run() : scope_(arena_), saved_out_(stdout), saved_err_(stderr) {
  if (FILE* sink = quiet_stream()) {
    std::fflush(stdout);
    std::fflush(stderr);
    stdout = sink;
    stderr = sink;
  }
}

Run::~Run() {
  stdout = saved_out_;
  stderr = saved_err_;
  wardorgs_clear();
  // An empty unit list, as after a missing file; its entries went with the
  // global arena.
  load_units(nullptr);
  clear_scratch();
  Arena::global().reset();
}

void load_units(const std::string_view* bytes) {
  std::string path = put_file("units.txt", bytes != nullptr ? *bytes : std::string_view());
  read_ward_units_from(path.c_str());
}

void load_orgs(const std::string_view* bytes) {
  wardorgs_clear();
  std::string path = bytes != nullptr ? put_file("orgs.txt", *bytes) : scratch() + "/no-orgs.txt";
  wardorgs_parse(path.c_str());
}

WardFamily* read_directory(const std::string_view* bytes) {
  if (bytes == nullptr) return nullptr;
  FILE* in = open_bytes(*bytes);
  if (in == nullptr) return nullptr;
  WardFamily* ward = read_mis231(in);
  std::fclose(in);
  return ward;
}

std::string write_ward(const WardFamily* ward) {
  MemOut out;
  FILE* fp = out.get();
  create_palm_phone(ward, fp, 220);
  create_palm_phone(ward, fp, 225);
  create_palm_full(ward, fp, 0);
  create_palm_full(ward, fp, 1);
  create_palm_phonebook(ward, fp);
  create_palm_addr(ward, fp);
  create_palm_zip(ward, fp);
  create_palm_sap(ward, fp);
  create_palm_nonm(ward, fp);
  save_ward(ward, fp);
  list_fam_errs(ward, fp);
  for (const WardFamily* fam = ward; fam != nullptr; fam = fam->next) list_family(fam, fp);
  write_wardfam_csv(ward, fp);
  write_wardmem_csv(ward, fp);
  return std::string(out.text());
}

std::string write_teaching(WardFamily* list) {
  MemOut out;
  FILE* fp = out.get();
  for (int opt : {310, 410}) create_palm_ht(list, fp, opt);
  for (int opt : {320, 420}) create_htlist_report(list, fp, opt);
  for (int opt : {312, 412}) create_htdist_report(list, fp, opt);
  create_htdist_htpct(list, fp);
  create_htdist_vtpct(list, fp);
  create_mis1313_csv(list, 1, fp);
  create_mis1313_csv(list, 0, fp);
  return std::string(out.text());
}

void write_positions(const WardOrg* org) {
  MemOut out;
  create_palm_pos(org, out.get());
  write_mis121_csv(org, out.get());
  for (const WardOrg* o = org; o != nullptr; o = o->next) write_webpos_positions(o, out.get());
  std::string web = folder("web");
  write_webpos(org, web);
  write_webpos_onepage(org, web);
}

void write_stake() {
  std::string dir = folder("stake");
  write_smis_txt(dir, Text());
  write_smis_alpha(dir, "alpha", Text());
  MemOut out;
  if (UnitNames == nullptr) return;
  for (int i = 0; i < UnitNames->nitems; ++i) {
    const auto* u = static_cast<const UnitName*>(UnitNames->item[static_cast<size_t>(i)]);
    if (u == nullptr) continue;
    for (const WardOrg* org = u->orgs; org != nullptr; org = org->next) {
      write_stake_positions(org, out.get());
    }
  }
}

}  // namespace fuzz
