#include "web/pages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "tools/outputs.h"
#include "web/messages.h"
#include "web/recognise.h"
#include "web/summary.h"
#include "web/text.h"
#include "web/upload.h"

const char* const kStyleSheet =
    "*{box-sizing:border-box}\n"
    "body{font-family:sans-serif;line-height:1.4;margin:0 auto;max-width:60em;padding:0 1em;"
    "color:#222;overflow-wrap:anywhere}\n"
    "header{border-bottom:1px solid #ccc;padding:.6em 0;display:flex;flex-wrap:wrap;gap:.5em 1.5em}"
    "\nheader a{font-weight:bold}\n"
    "h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.5em;border-bottom:1px solid #ccc}"
    "h3{font-size:1.05em;margin-bottom:.3em}\n"
    "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:.2em .5em;"
    "text-align:left;vertical-align:top}th{background:#eee}\n"
    "td.n{text-align:right}pre{margin:0;padding:.5em;white-space:pre}\n"
    ".box{overflow:auto;max-height:75vh;border:1px solid #ccc;background:#f8f8f8}\n"
    ".box th{position:sticky;top:0}.csv td,.csv th{white-space:nowrap;overflow-wrap:normal}\n"
    ".ok{background:#e6f4e6;padding:.5em}.bad{background:#fbe3e3;padding:.5em}\n"
    ".made::before{content:'\\2713  '}.failed::before{content:'\\2717  '}"
    ".notasked::before{content:'\\2013  '}.making::before{content:'\\2026  '}\n"
    "ul.files,ul.messages{padding-left:1.2em}ul.groups{list-style:none;padding-left:0}"
    "ul.files li,ul.groups li{margin:.3em 0}\n"
    "label{display:block;margin:.6em 0}.hint{color:#555;font-size:.9em}\n"
    "input,select,button{font-size:1em;max-width:100%}button{font-size:1.1em;padding:.4em 1.2em}\n"
    "nav.pages a,nav.pages span{margin-right:1em}\n"
    ".kept{color:#555;font-size:.9em;margin:-.4em 0 .6em}"
    "button.forget{font-size:.9em;padding:.1em .6em;margin-left:.5em}\n";

const char* const kWatchScript =
    "// Asks every 3 seconds how the job is doing, says so in the page's polite\n"
    "// live region, and loads the page again once the job is further along.\n"
    "(function () {\n"
    "  var region = document.getElementById('progress');\n"
    "  if (!region) return;\n"
    "  var url = region.getAttribute('data-status');\n"
    "  var state = region.getAttribute('data-state');\n"
    "  function ask() {\n"
    "    fetch(url, {cache: 'no-store'}).then(function (answer) {\n"
    "      return answer.ok ? answer.text() : Promise.reject();\n"
    "    }).then(function (text) {\n"
    "      var line = text.indexOf('\\n');\n"
    "      if (text.slice(0, line) !== state) { location.reload(); return; }\n"
    "      var words = text.slice(line + 1).trim();\n"
    "      if (region.textContent !== words) region.textContent = words;\n"
    "      setTimeout(ask, 3000);\n"
    "    }, function () { setTimeout(ask, 3000); });\n"
    "  }\n"
    "  setTimeout(ask, 3000);\n"
    "})();\n";

namespace {

/// A page: the header with the way back to the form, then `body` as the
/// main content. A page with `watch` seconds asks its job's progress that
/// often through kWatchScript (without scripts it reloads itself as often).
std::string page(std::string_view base, std::string_view title, std::string_view body,
                 int watch = 0) {
  std::string b = html_escape(base);
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  if (watch != 0) {
    html += "<noscript><meta http-equiv=\"refresh\" content=\"" + std::to_string(watch) +
            "\"></noscript>\n<script src=\"" + b + "/watch.js\" defer></script>\n";
  }
  html += "<title>" + html_escape(title) + "</title>\n";
  html += "<link rel=\"stylesheet\" href=\"" + b + "/style.css\"></head>\n<body>\n";
  if (!base.empty()) {
    html += "<header><a href=\"" + b + "/\">Kinroll</a><span>the ward's lists from its "
            "printouts</span><a href=\"" + b + "/guide\">What each file holds</a></header>\n";
  }
  html += "<main>\n";
  html += body;
  html += "\n</main>\n</body></html>\n";
  return html;
}

std::string size_text(uint64_t bytes) {
  char buf[32];
  if (bytes < 10 * 1024) {
    std::snprintf(buf, sizeof buf, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else if (bytes < 10ull * 1024 * 1024) {
    std::snprintf(buf, sizeof buf, "%llu KB", static_cast<unsigned long long>(bytes / 1024));
  } else {
    std::snprintf(buf, sizeof buf, "%llu MB", static_cast<unsigned long long>(bytes >> 20));
  }
  return buf;
}

std::string job_link(const Job& job, std::string_view rest) {
  return job.base + "/jobs/" + job.id + "/" + std::string(rest);
}

/// Why no list was made, when a file was refused: first on the page, with
/// the way back to the form.
std::string refusal_section(const Job& job, const Placement& placed) {
  std::string html = "<div class=\"bad\" id=\"refused\"><p><strong>No list was made</strong>: "
                     "these files cannot be used as they are.</p>\n<ul>\n";
  for (const std::string& why : placed.refusals) html += "<li>" + html_escape(why) + "</li>\n";
  return html + "</ul>\n<p><a href=\"" + html_escape(job.base) +
         "/\">Back to the form</a> to send the right files.</p></div>\n";
}

std::string uploads_table(const JobResult& r) {
  std::string html = "<h2>Files received</h2>\n<div class=\"box\"><table><tr><th>File</th>"
                     "<th>Size</th><th>Taken for</th></tr>\n";
  for (const UploadedFile& up : r.placed.uploads) {
    html += "<tr><td>" + html_escape(up.name) + "</td><td class=\"n\">" + size_text(up.size) +
            "</td><td>";
    if (up.taken_as != nullptr) {
      const BatchInput* in = batch_input(up.taken_as);
      html += in != nullptr ? html_escape(in->what) : html_escape(up.taken_as);
      if (up.converted) {
        html += "<br>" + html_escape(up.name) + " was saved as UTF-8; it was turned back into "
                "Latin-1";
      }
      if (!up.note.empty()) html += "<br>" + html_escape(up.note);
    } else {
      html += (up.refused ? "<strong>refused</strong>: " : "<strong>not used</strong>: ") +
              html_escape(up.note);
    }
    html += "</td></tr>\n";
  }
  return html + "</table></div>\n";
}

/// The summary: each group of lists, made or why not; green only when
/// every group the printouts allow was made.
std::string summary_section(const std::vector<GroupOutcome>& groups) {
  bool failed = false;
  bool any = false;
  std::string list = "<ul class=\"groups\">\n";
  for (const GroupOutcome& g : groups) {
    static const char* const kClass[] = {"made", "notasked", "failed", "making"};
    failed = failed || g.state == GroupState::kFailed;
    any = any || g.state == GroupState::kMade;
    list += "<li class=\"" + std::string(kClass[static_cast<int>(g.state)]) + "\"><strong>" +
            html_escape(g.title) + "</strong>: " +
            (g.state == GroupState::kMade ? "made: " : "") + page_text(g.why) + ".</li>\n";
  }
  std::string head = failed ? "<p class=\"bad\">Some lists could not be made; each is named "
                              "below with why.</p>\n"
                     : any  ? "<p class=\"ok\">Every list these printouts allow was made.</p>\n"
                            : "<p class=\"bad\">No list was made.</p>\n";
  return "<h2 id=\"summary\">Summary</h2>\n" + head + list + "</ul>\n";
}

/// How many lines of a kind of message, or of a report, a results page shows.
constexpr size_t kShownLines = 200;

/// The first kShownLines lines of `text` in a box, its text `id`, and a
/// link to the view of the whole file `name` when it has more.
std::string report_start(const Job& job, std::string_view name, std::string_view text,
                         std::string_view id) {
  size_t at = 0;
  for (size_t n = 0; n < kShownLines && at < text.size(); ++n) {
    at = std::min(text.find('\n', at), text.size() - 1) + 1;
  }
  std::string html = "<div class=\"box\"><pre id=\"" + std::string(id) + "\">" +
                     page_text(text.substr(0, at)) + "</pre></div>\n";
  if (at < text.size()) {
    html += "<p>This is the beginning: <a href=\"" + job_link(job, "view/" + std::string(name)) +
            "\">the whole of " + std::string(name) + "</a>.</p>\n";
  }
  return html;
}

/// The messages of every program, grouped by kind: each kind with what it
/// means, its lines under a fold.
std::string messages_section(std::string_view text) {
  std::vector<MessageGroup> groups = group_messages(text);
  if (groups.empty()) return "";
  std::string html = "<h2>Messages</h2>\n<ul class=\"messages\">\n";
  for (const MessageGroup& g : groups) {
    size_t n = g.lines.size();
    html += "<li><p><strong>" + page_text(n == 1 ? g.lines[0] : g.kind) + "</strong>";
    if (n > 1) html += " (" + std::to_string(n) + " times)";
    if (g.meaning != nullptr) html += ": " + html_escape(g.meaning);
    html += "</p>";
    if (n > 1) {
      html += "<details><summary>The " + std::to_string(n) + " lines</summary><ul>\n";
      for (size_t i = 0; i < std::min(n, kShownLines); ++i) {
        html += "<li>" + page_text(g.lines[i]) + "</li>\n";
      }
      if (n > kShownLines) {
        html += "<li>and " + std::to_string(n - kShownLines) +
                " more, in the archive's message files</li>\n";
      }
      html += "</ul></details>";
    }
    html += "</li>\n";
  }
  return html + "</ul>\n";
}

/// One file with its plain name, what it is for, a view and a download.
std::string file_item(const Job& job, const WrittenFile& f) {
  const KnownFile* known = known_file(f.name);
  std::string name = html_escape(f.name);
  std::string html = "<li><a href=\"" + job_link(job, "view/" + name) + "\">";
  html += known != nullptr ? html_escape(known->name) + " — " + name : name;
  html += "</a> (" + size_text(f.size) + ")";
  if (known != nullptr) html += ": " + html_escape(known->purpose);
  return html + ". <a href=\"" + job_link(job, "file/" + name) + "\" download>Download " + name +
         "</a></li>\n";
}

/// Every file written, grouped by what it is used for, and the archive.
std::string files_section(const Job& job, const JobResult& r, ArchiveState archive) {
  std::string html = "<h2>Files</h2>\n";
  if (r.written.empty()) return html + "<p>No file was written.</p>\n";
  html += "<p>What each file, column and mark means: <a href=\"" + html_escape(job.base) +
          "/guide\">the guide to the files</a>.</p>\n";
  std::string zip = html_escape(job.archive_name());
  html += archive == ArchiveState::kMade
              ? "<p><a href=\"" + job_link(job, "archive.zip") + "\" download=\"" + zip +
                    "\">Download everything (" + zip + ")</a></p>\n"
              : archive == ArchiveState::kMaking
              ? "<p>The archive of everything is being made; this page shows it when it is "
                "there.</p>\n"
              : "<p class=\"bad\">The archive of everything could not be made; download the "
                "files one by one.</p>\n";
  // Each use's files in the order of the table of files, the rest after.
  std::vector<std::pair<const KnownFile*, const WrittenFile*>> files;
  for (const WrittenFile& f : r.written) files.emplace_back(known_file(f.name), &f);
  std::ranges::stable_sort(files, [](const auto& a, const auto& b) {
    return a.first != nullptr && (b.first == nullptr || a.first < b.first);
  });
  for (size_t i = 0; i < files.size();) {
    const KnownFile* known = files[i].first;
    html += known != nullptr ? "<h3>" + std::string(use_heading(known->use)) + "</h3>\n"
                             : "<h3>Other files</h3>\n";
    html += "<ul class=\"files\">\n";
    for (; i < files.size() && (files[i].first == nullptr
                                    ? known == nullptr
                                    : known != nullptr && files[i].first->use == known->use);
         ++i) {
      html += file_item(job, *files[i].second);
    }
    html += "</ul>\n";
  }
  return html;
}

}  // namespace

std::string form_page(std::string_view base, const Recalled& memory) {
  const std::string b = html_escape(base);
  std::string forget_forms;
  // What is kept for `field`, said as `what`, with its button: a submit
  // button of a form of its own (forms cannot nest), put after this one.
  auto kept = [&](const char* field, const std::string& what) {
    forget_forms += "<form id=\"forget-" + std::string(field) + "\" method=\"post\" action=\"" +
                    b + "/forget/" + field + "\"></form>\n";
    return "<p class=\"kept\" id=\"kept-" + std::string(field) +
           "\">Kept on this computer: " + html_escape(what) +
           "; used when none is given here.<button type=\"submit\" class=\"forget\" "
           "form=\"forget-" +
           field + "\">Forget</button></p>\n";
  };
  std::string body =
      "<h1>Kinroll: the ward's lists from its printouts</h1>\n"
      "<form method=\"post\" action=\"" + b + "/jobs\" enctype=\"multipart/form-data\">\n"
      "<label>The month's printouts (choose them all: mis231.txt, mis232.txt, mis239.txt, "
      "mis1313.txt, mis1413.txt, mis121.txt, under any name)<br>\n"
      "<input type=\"file\" name=\"printouts\" multiple></label>\n"
      "<label>Unit name for the list titles<br>\n"
      "<input type=\"text\" name=\"unit\" value=\"" + html_escape(memory.unit) +
      "\" placeholder=\"Ward\" maxlength=\"100\"></label>\n";
  if (!memory.unit.empty()) body += kept("unit", "the name given last");
  body += "<label>The stake's units (wardunits.txt, optional)<br>\n"
          "<input type=\"file\" name=\"wardunits\"></label>\n";
  if (!memory.units_date.empty()) {
    body += kept("wardunits", "the wardunits.txt given on " + memory.units_date);
  }
  body += "<label>The organisation table (wardorgs.txt, optional)<br>\n"
          "<input type=\"file\" name=\"wardorgs\"></label>\n";
  if (!memory.orgs_date.empty()) {
    body += kept("wardorgs", "the wardorgs.txt given on " + memory.orgs_date);
  }
  body += "<label>Last month's directory of members (optional, to see what changed)<br>\n"
          "<input type=\"file\" name=\"lastmonth\"></label>\n";
  if (!memory.last_month.date.empty()) {
    body += kept("lastmonth", kept_directory_name(memory.last_month));
  }
  body += "<label><input type=\"checkbox\" name=\"keep\" value=\"yes\" checked> Keep this "
          "month's directory on this computer (in " + html_escape(memory.state_shown) +
          ") so that next month's changes come by themselves</label>\n"
          "<p><button type=\"submit\">Make the lists</button></p>\n"
          "<p class=\"hint\">The printouts stay on this computer and are removed when the lists "
          "have not been looked at for a while, and when the program ends; only what is marked "
          "as kept stays until it is forgotten.</p>\n"
          "</form>\n" + forget_forms;
  return page(base,
              memory.unit.empty() ? "Make the lists – Kinroll"
                                  : "Make the lists for " + memory.unit + " – Kinroll",
              body);
}

std::string progress_text(Job& job, JobState state) {
  std::string unit = utf8_from_latin1(job.unit);
  if (state == JobState::kWaiting || state == JobState::kReceiving) {
    return "The lists for " + unit + " are next: other lists are being made first.";
  }
  std::vector<const char*> running;
  std::chrono::steady_clock::time_point since;
  {
    std::lock_guard lock(job.progress.mutex);
    running = job.progress.running;
    since = job.progress.since;
  }
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::steady_clock::now() - since).count();
  std::string steps;
  for (size_t i = 0; i < running.size(); ++i) {
    steps += (i == 0 ? "" : i + 1 == running.size() ? " and " : ", ") + std::string(running[i]);
  }
  if (steps.empty()) steps = "the lists";
  return "Making " + steps + " for " + unit + ": " + std::to_string(seconds) + " s so far.";
}

std::string status_text(Job& job) {
  JobState state;
  bool finishing;
  {
    std::lock_guard lock(job.mutex);
    state = job.state;
    finishing = job.finishing;
  }
  const char* where = state != JobState::kDone ? "working\n" : finishing ? "results\n" : "done\n";
  return where + progress_text(job, state) + "\n";
}

std::string working_page(Job& job, JobState state) {
  std::string body = "<h1>Working on the lists for " + page_text(job.unit) + "</h1>\n";
  body += "<p id=\"progress\" role=\"status\" aria-live=\"polite\" data-status=\"" +
          job_link(job, "status") + "\" data-state=\"working\">" +
          html_escape(progress_text(job, state)) + "</p>\n";
  body += "<p>This page shows the results as soon as they are ready. <a href=\"" +
          job_link(job, "") + "\">Look again</a></p>\n";
  return page(job.base, "Working on " + utf8_from_latin1(job.unit) + " – Kinroll", body, 3);
}

std::string results_page(Job& job, const JobResult& r, const ResultsView& view) {
  std::string unit = page_text(job.unit);
  std::string body = "<h1>Results for " + unit + "</h1>\n";
  if (!r.placed.refusals.empty()) {
    body += refusal_section(job, r.placed) + uploads_table(r);
    return page(job.base, "Nothing made for " + utf8_from_latin1(job.unit) + " – Kinroll", body);
  }
  body += summary_section(summarise(r, r.placed.has_last_month, view.makers, view.finishing));
  if (view.finishing) {
    body += "<p id=\"progress\" role=\"status\" aria-live=\"polite\" data-status=\"" +
            job_link(job, "status") + "\" data-state=\"results\">" +
            html_escape(progress_text(job, JobState::kRunning)) + "</p>\n";
  }
  auto minutes = std::chrono::duration_cast<std::chrono::minutes>(view.keep).count();
  body += "<p class=\"hint\">These results stay on this computer for " + std::to_string(minutes) +
          " minutes after you last look at them, and until kinroll-web ends: download what you "
          "keep.</p>\n";
  body += files_section(job, r, view.archive);
  body += messages_section(r.console + r.messages);
  if (std::ranges::find(r.written, "warderr.txt", &WrittenFile::name) != r.written.end()) {
    body += "<h2>Error report (warderr.txt)</h2>\n" +
            report_start(job, "warderr.txt", read_whole(job.work() + "/warderr.txt"), "errors");
  }
  if (r.changes_ran) {
    body += "<h2>Changes since last month</h2>\n" +
            report_start(job, "changes.txt", r.changes_report, "changes");
  }
  body += uploads_table(r);
  body += "<p><a href=\"" + job.base + "/\">Make lists from other printouts</a></p>\n";
  return page(job.base, "Results for " + utf8_from_latin1(job.unit) + " – Kinroll", body,
              view.finishing ? 3 : 0);
}

std::string view_page(const Job& job, std::string_view name, const FilePage& part) {
  std::string file = html_escape(name);
  std::string body = "<h1>" + file + "</h1>\n";
  if (const KnownFile* known = known_file(name)) {
    body += "<p>" + html_escape(known->name) + ": " + html_escape(known->purpose) + ".</p>\n";
  }
  body += "<p><a href=\"" + job_link(job, "") + "\">Back to the results</a> · <a href=\"" +
          job_link(job, "file/" + file) + "\" download>Download " + file + "</a></p>\n";
  std::string pager;
  if (part.pages > 1) {
    std::string here = job_link(job, "view/" + file) + "?page=";
    pager = "<nav class=\"pages\" aria-label=\"Pages of " + file + "\">";
    if (part.page > 1) {
      pager += "<a href=\"" + here + "1\">First</a><a href=\"" + here +
               std::to_string(part.page - 1) + "\" rel=\"prev\">Previous</a>";
    }
    pager += "<span>Page " + std::to_string(part.page) + " of " + std::to_string(part.pages) +
             "</span>";
    if (part.page < part.pages) {
      pager += "<a href=\"" + here + std::to_string(part.page + 1) + "\" rel=\"next\">Next</a>" +
               "<a href=\"" + here + std::to_string(part.pages) + "\">Last</a>";
    }
    pager += "</nav>\n";
  }
  body += pager;
  body += "<div class=\"box\" tabindex=\"0\" role=\"region\" aria-label=\"" + file + "\">";
  if (name.ends_with(".csv")) {
    body += "<table class=\"csv\"><thead><tr>";
    for (const auto& row : csv_rows(part.header)) {
      for (const std::string& cell : row) body += "<th scope=\"col\">" + page_text(cell) + "</th>";
    }
    body += "</tr></thead>\n<tbody>\n";
    for (const auto& row : csv_rows(part.lines)) {
      body += "<tr>";
      for (const std::string& field : row) body += "<td>" + page_text(field) + "</td>";
      body += "</tr>\n";
    }
    body += "</tbody></table>";
  } else {
    body += "<pre>" + page_text(part.lines) + "</pre>";
  }
  body += "</div>\n" + pager;
  std::string title = std::string(name) +
                      (part.pages > 1 ? ", page " + std::to_string(part.page) : "") + " – " +
                      utf8_from_latin1(job.unit) + " – Kinroll";
  return page(job.base, title, body);
}

std::string guide_page(std::string_view base) {
  std::string body = "<h1>What each file holds</h1>\n<p>Every file the programs write, each "
                     "column of their CSV files and each mark in their lists, with lines of an "
                     "example ward.</p>\n<div class=\"box\" tabindex=\"0\" role=\"region\" "
                     "aria-label=\"The guide\"><pre>" + html_escape(kOutputsGuide) +
                     "</pre></div>\n";
  return page(base, "What each file holds – Kinroll", body);
}

std::string message_page(std::string_view title, std::string_view sentence,
                         std::string_view home) {
  std::string body = "<h1>" + html_escape(title) + "</h1>\n<p>" + html_escape(sentence) + "</p>\n";
  if (!home.empty()) body += "<p><a href=\"" + html_escape(home) + "\">Back to the form</a></p>\n";
  std::string base(home.substr(0, home.size() - (home.ends_with('/') ? 1 : 0)));
  return page(base, std::string(title) + " – Kinroll", body);
}
