#include "web/pages.h"

#include <cstdio>

#include "web/recognise.h"
#include "web/text.h"
#include "web/upload.h"

const char* const kStyleSheet =
    "body{font-family:sans-serif;margin:1.5em auto;max-width:60em;padding:0 1em;color:#222}\n"
    "h1{font-size:1.5em}h2{font-size:1.2em;margin-top:1.5em;border-bottom:1px solid #ccc}\n"
    "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:.2em .5em;"
    "text-align:left;vertical-align:top}\n"
    "td.n{text-align:right}pre{background:#f6f6f6;padding:.5em;overflow-x:auto}\n"
    ".ok{background:#e6f4e6;padding:.5em}.bad{background:#fbe3e3;padding:.5em}\n"
    "label{display:block;margin:.6em 0}.hint{color:#555;font-size:.9em}\n"
    "button{font-size:1.1em;padding:.4em 1.2em}\n";

namespace {

/// A page; `refresh` seconds after it came the browser loads it again (0: never).
std::string page(std::string_view base, std::string_view title, std::string_view body,
                 int refresh = 0) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n";
  if (refresh != 0) {
    html += "<meta http-equiv=\"refresh\" content=\"" + std::to_string(refresh) + "\">\n";
  }
  html += "<title>" + html_escape(title) + "</title>\n";
  html += "<link rel=\"stylesheet\" href=\"" + html_escape(base) + "/style.css\"></head>\n<body>\n";
  html += body;
  html += "\n</body></html>\n";
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

/// The words for how a job ended, for a clerk.
std::string outcome_text(const Job& job, const JobResult& r) {
  std::string bad;
  if (r.batch.timed_out) {
    bad = "The lists took too long and were stopped: the printouts may be far larger than a "
          "ward's, or not printouts at all. The files below are what was written before.";
  } else if (r.batch.cancelled) {
    bad = "The lists were stopped because the program was ending.";
  } else if (r.batch.status == 127) {
    bad = "The list program could not be started on this computer.";
  } else if (r.batch.signal != 0) {
    bad = "The list program stopped unexpectedly (signal " + std::to_string(r.batch.signal) +
          "). The files below are what was written before.";
  } else if (r.batch.status == 1) {
    bad = "Some lists could not be written (see the messages): the computer's disk may be "
          "full.";
  } else if (r.batch.status != 0) {
    bad = "The list program ended with status " + std::to_string(r.batch.status) + ".";
  }
  const Placement& placed = r.placed;
  if (!placed.refusals.empty()) {
    std::string html = "<div class=\"bad\" id=\"refused\"><p><strong>No list was made</strong>: "
                       "these files cannot be used as they are.</p>\n<ul>\n";
    for (const std::string& why : placed.refusals) html += "<li>" + html_escape(why) + "</li>\n";
    return html + "</ul>\n<p><a href=\"" + html_escape(job.base) +
           "/\">Back to the form</a> to send the right files.</p></div>\n";
  }
  std::string html;
  if (!placed.has_directory) {
    html += "<p class=\"bad\">No directory of members (MIS 231) was among the files, so there is "
            "no ward list, phone list or error report. Add it (mis231.txt) and send again.</p>\n";
  }
  if (!bad.empty()) return html + "<p class=\"bad\">" + html_escape(bad) + "</p>\n";
  if (placed.has_directory) html += "<p class=\"ok\">Every list was made.</p>\n";
  return html;
}

std::string uploads_table(const JobResult& r) {
  std::string html = "<h2>Files received</h2>\n<table><tr><th>File</th><th>Size</th>"
                     "<th>Taken for</th></tr>\n";
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
  return html + "</table>\n";
}

std::string messages_section(std::string_view heading, std::string_view text) {
  std::vector<MessageGroup> groups = group_messages(text);
  if (groups.empty()) return "";
  std::string html = "<h2>" + html_escape(heading) + "</h2>\n<ul class=\"messages\">\n";
  for (const MessageGroup& g : groups) {
    if (g.lines.size() == 1) {
      html += "<li>" + page_text(g.lines[0]) + "</li>\n";
      continue;
    }
    html += "<li><details><summary>" + page_text(g.kind) + " <strong>(" +
            std::to_string(g.lines.size()) + ")</strong></summary><ul>\n";
    for (const std::string& line : g.lines) html += "<li>" + page_text(line) + "</li>\n";
    html += "</ul></details></li>\n";
  }
  return html + "</ul>\n";
}

std::string written_table(const Job& job, const JobResult& r, ArchiveState archive) {
  std::string html = "<h2>Files written</h2>\n";
  if (r.written.empty()) return html + "<p>No file was written.</p>\n";
  html += archive == ArchiveState::kMade
              ? "<p><a href=\"" + job_link(job, "archive.zip") +
                    "\" download>Download everything (kinroll-results.zip)</a></p>\n"
              : archive == ArchiveState::kMaking
              ? "<p>The archive of everything is being made; this page shows it when it is "
                "there.</p>\n"
              : "<p class=\"bad\">The archive of everything could not be made; download the "
                "files one by one.</p>\n";
  html += "<table><tr><th>File</th><th>Size</th><th></th><th></th></tr>\n";
  for (const WrittenFile& f : r.written) {
    std::string name = html_escape(f.name);
    html += "<tr><td>" + name + "</td><td class=\"n\">" + size_text(f.size) + "</td><td><a href=\"" +
            job_link(job, "view/" + name) + "\">view</a></td><td><a href=\"" +
            job_link(job, "file/" + name) + "\" download>download</a></td></tr>\n";
  }
  return html + "</table>\n";
}

}  // namespace

std::string form_page(std::string_view base) {
  std::string body =
      "<h1>Kinroll: the ward's lists from its printouts</h1>\n"
      "<form method=\"post\" action=\"" + html_escape(base) +
      "/jobs\" enctype=\"multipart/form-data\">\n"
      "<label>The month's printouts (choose them all: mis231.txt, mis232.txt, mis239.txt, "
      "mis1313.txt, mis1413.txt, mis121.txt, under any name)<br>\n"
      "<input type=\"file\" name=\"printouts\" multiple></label>\n"
      "<label>Unit name for the list titles<br>\n"
      "<input type=\"text\" name=\"unit\" value=\"Ward\" maxlength=\"100\"></label>\n"
      "<label>The stake's units (wardunits.txt, optional)<br>\n"
      "<input type=\"file\" name=\"wardunits\"></label>\n"
      "<label>The organisation table (wardorgs.txt, optional)<br>\n"
      "<input type=\"file\" name=\"wardorgs\"></label>\n"
      "<label>Last month's directory of members (optional, to see what changed)<br>\n"
      "<input type=\"file\" name=\"lastmonth\"></label>\n"
      "<p><button type=\"submit\">Make the lists</button></p>\n"
      "<p class=\"hint\">The files stay on this computer and are removed when the lists have "
      "not been looked at for a while, and when the program ends.</p>\n"
      "</form>\n";
  return page(base, "Kinroll", body);
}

std::string working_page(const Job& job, JobState state) {
  std::string body = "<h1>Working…</h1>\n<p>";
  body += state == JobState::kWaiting ? "Other lists are being made; these are next."
                                      : "The lists for " + page_text(job.unit) +
                                            " are being made.";
  body += " This page shows the results as soon as they are ready.</p>\n<p><a href=\"" +
          job_link(job, "") + "\">Look again</a></p>\n";
  return page(job.base, "Working – Kinroll", body, 1);
}

std::string results_page(const Job& job, const JobResult& r, ArchiveState archive) {
  std::string body = "<h1>Results for " + page_text(job.unit) + "</h1>\n";
  body += outcome_text(job, r);
  body += uploads_table(r);
  body += messages_section("Console messages", r.console);
  body += messages_section("Messages about the printouts", r.messages);
  for (const WrittenFile& f : r.written) {
    if (f.name == "warderr.txt") {
      body += "<h2>Error report (warderr.txt)</h2>\n<pre id=\"errors\">" +
              page_text(read_whole(job.work() + "/warderr.txt")) + "</pre>\n";
    }
  }
  if (r.changes_ran) {
    body += "<h2>Changes since last month</h2>\n<pre id=\"changes\">" +
            page_text(r.changes_report) + "</pre>\n";
  }
  body += written_table(job, r, archive);
  body += "<p><a href=\"" + job.base + "/\">Make lists from other printouts</a></p>\n";
  return page(job.base, "Results – Kinroll", body, archive == ArchiveState::kMaking ? 3 : 0);
}

std::string view_page(const Job& job, std::string_view name, std::string_view bytes,
                      bool truncated) {
  std::string body = "<h1>" + html_escape(name) + "</h1>\n<p><a href=\"" + job_link(job, "") +
                     "\">Back to the results</a> · <a href=\"" +
                     job_link(job, "file/" + html_escape(name)) + "\" download>download</a></p>\n";
  if (truncated) {
    body += "<p class=\"bad\">Only the beginning of this large file is shown; download it for "
            "the rest.</p>\n";
  }
  if (name.ends_with(".csv")) {
    body += "<table class=\"csv\">\n";
    for (const auto& row : csv_rows(bytes)) {
      body += "<tr>";
      for (const std::string& field : row) body += "<td>" + page_text(field) + "</td>";
      body += "</tr>\n";
    }
    body += "</table>\n";
  } else {
    body += "<pre>" + page_text(bytes) + "</pre>\n";
  }
  return page(job.base, std::string(name) + " – Kinroll", body);
}

std::string message_page(std::string_view title, std::string_view sentence,
                         std::string_view home) {
  std::string body = "<h1>" + html_escape(title) + "</h1>\n<p>" + html_escape(sentence) + "</p>\n";
  if (!home.empty()) body += "<p><a href=\"" + html_escape(home) + "\">Back to the form</a></p>\n";
  std::string base(home.substr(0, home.size() - (home.ends_with('/') ? 1 : 0)));
  return page(base, std::string(title) + " – Kinroll", body);
}
