#include "web/server.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "web/guard.h"
#include "web/pages.h"
#include "web/upload.h"

namespace {

/// How many lines of a text, or rows of a CSV file, a view page shows.
constexpr size_t kViewLines = 2000;
constexpr size_t kViewRows = 500;
/// How long a job's page waits for the job to end before it says "Working".
constexpr auto kJobWait = std::chrono::seconds(2);
/// Per connection: its header lines and read buffer together (past them the
/// request is answered 431), and the form reader's buffer.
constexpr size_t kConnectionMemory = 32 * 1024;
constexpr size_t kFormBuffer = 16 * 1024;
/// Connections at once, and the seconds one may stay silent.
constexpr unsigned kMaxConnections = 512;
constexpr unsigned kIdleSeconds = 15;

const char* const kHtml = "text/html; charset=utf-8";

/// Sends `response` (null: the connection is closed) with the headers every
/// answer carries, and `extra` ones (name, value, ...).
MHD_Result send(MHD_Connection* c, unsigned status, MHD_Response* response,
                std::initializer_list<const char*> extra = {}) {
  if (response == nullptr) return MHD_NO;
  std::initializer_list<const char*> every = {
      "Content-Security-Policy",
      "default-src 'self'; script-src 'self'; object-src 'none'; base-uri 'none'; "
      "form-action 'self'; frame-ancestors 'none'",
      "X-Content-Type-Options", "nosniff", "Cache-Control", "no-store",
      "Referrer-Policy", "no-referrer", "X-Frame-Options", "DENY"};
  for (auto list : {every, extra}) {
    for (auto it = list.begin(); it != list.end(); it += 2) {
      MHD_add_response_header(response, it[0], it[1]);
    }
  }
  MHD_Result queued = MHD_queue_response(c, status, response);
  MHD_destroy_response(response);
  return queued;
}

MHD_Result send_bytes(MHD_Connection* c, unsigned status, std::string_view body,
                      const char* type = kHtml, std::initializer_list<const char*> extra = {}) {
  auto* data = const_cast<char*>(body.data());
  MHD_Response* r = MHD_create_response_from_buffer(body.size(), data, MHD_RESPMEM_MUST_COPY);
  if (r != nullptr) MHD_add_response_header(r, "Content-Type", type);
  return send(c, status, r, extra);
}

MHD_Result redirect(MHD_Connection* c, const std::string& location) {
  return send_bytes(c, 303, message_page("See other", "This page is at " + location + ".", ""),
                    kHtml, {"Location", location.c_str()});
}

std::string_view header(MHD_Connection* c, const char* name) {
  const char* v = MHD_lookup_connection_value(c, MHD_HEADER_KIND, name);
  return v == nullptr ? std::string_view() : std::string_view(v);
}

}  // namespace

/// What one request keeps between the calls of the access handler.
struct Request {
  std::string rest;                        // the path after "/TOKEN"
  std::shared_ptr<Job> job;                // a posted job, or the job of the page
  std::unique_ptr<UploadReceiver> upload;  // a post being received
  MHD_PostProcessor* form = nullptr;
  bool broken = false;  // the form was refused part way
  bool forget = false;  // a post to BASE/forget/WHAT; its body is not read
  bool waited = false;  // the job's page waited once
  ~Request() {
    if (form != nullptr) MHD_destroy_post_processor(form);
  }
};

Server::Server(const ServerSettings& s)
    : settings_(s),
      base_("/" + s.token),
      jobs_(s.programs, s.keep, base_,
            [this](Job& job, Placement* placed) { use_memory(settings_.memory, job, placed); },
            [this](const Job& job) { wake(&job); }) {}

Server::~Server() {
  if (daemon_ != nullptr) stop();
}

bool Server::start(int fd, int port) {
  hosts_ = allowed_hosts(settings_.listen.text, settings_.listen.loopback, port);
  daemon_ = MHD_start_daemon(MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME, 0, nullptr,
                             nullptr, &on_request, this, MHD_OPTION_LISTEN_SOCKET, fd,
                             MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
                             MHD_OPTION_CONNECTION_LIMIT, kMaxConnections,
                             MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds,
                             MHD_OPTION_NOTIFY_COMPLETED, &on_done, this, MHD_OPTION_END);
  if (daemon_ == nullptr) ::close(fd);
  return daemon_ != nullptr;
}

void Server::tick() {
  wake(nullptr);
  if (++ticks_ % 4 == 0) jobs_.sweep();
}

int Server::stop() {
  {
    std::lock_guard lock(wait_mutex_);
    stopping_ = true;  // no page waits from here on
  }
  jobs_.shutdown();
  wake(nullptr);
  MHD_stop_daemon(daemon_);
  daemon_ = nullptr;
  return jobs_.started();
}

MHD_Result Server::on_request(void* self, MHD_Connection* c, const char* url, const char* method,
                              const char*, const char* data, size_t* size, void** state) {
  auto* server = static_cast<Server*>(self);
  auto* req = static_cast<Request*>(*state);
  // Refusals are answered at the first call, with the header lines, and the
  // connection closed; pages at the next, once the request is in whole, so
  // that the connection is kept for the browser's next request.
  if (req == nullptr) {
    *state = req = new Request;
    return server->first_call(c, url, method, req);
  }
  if (req->upload == nullptr) {
    if (*size == 0) return server->get(c, req);
    *size = 0;  // a body that is no upload is not read
    return MHD_YES;
  }
  if (*size == 0) return server->end_post(c, req);
  if (!req->broken) req->broken = MHD_post_process(req->form, data, *size) != MHD_YES;
  *size = 0;
  return MHD_YES;
}

void Server::on_done(void* self, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
  auto* req = static_cast<Request*>(*state);
  // An upload cut off (the browser closed, the server stops) leaves no job.
  if (req != nullptr && req->upload != nullptr) static_cast<Server*>(self)->jobs_.discard(req->job);
  delete req;
}

MHD_Result Server::message(MHD_Connection* c, unsigned status, std::string_view title,
                           std::string_view sentence) {
  return send_bytes(c, status, message_page(title, sentence, base_ + "/"));
}

MHD_Result Server::not_here(MHD_Connection* c) {
  return message(c, 404, "Not here",
                 "There is nothing at this address. Results are removed a while after they were "
                 "last looked at, and when kinroll-web ends.");
}

MHD_Result Server::first_call(MHD_Connection* c, std::string_view url, std::string_view method,
                              Request* req) {
  std::string_view rest;
  if (!strip_token(url, settings_.token, &rest)) {
    return send_bytes(c, 404, "Not Found\n", "text/plain; charset=utf-8");  // the same for all
  }
  bool post = method == "POST";
  RequestFacts facts{header(c, "Host"), header(c, "Origin"), header(c, "Sec-Fetch-Site"), post};
  if (check_request(facts, hosts_) != Refusal::kAllowed) {
    return message(c, 403, "Not allowed",
                   "This page opens only from the address kinroll-web printed when it started, on "
                   "the computer it runs on.");
  }
  if (post && rest == "/jobs") return begin_post(c, req);
  req->forget = post && rest.starts_with("/forget/");
  if (method != "GET" && method != "HEAD" && !req->forget) {
    return message(c, 405, "Not here", "Only pages and files are served here.");
  }
  req->rest = rest;
  return MHD_YES;
}

MHD_Result Server::get(MHD_Connection* c, Request* req) {
  std::string_view rest = req->rest;
  if (req->forget) return forget(c, rest.substr(8));
  if (rest.starts_with("/jobs/") && rest.size() >= 38 && (rest.size() == 38 || rest[38] == '/')) {
    if (req->job == nullptr) req->job = jobs_.find(std::string(rest.substr(6, 32)));
    if (req->job == nullptr) return not_here(c);
    return rest.size() <= 39 ? job_page(c, req) : job_file(c, *req->job, rest.substr(39));
  }
  if (rest.empty()) return redirect(c, base_ + "/");
  if (rest == "/") return send_bytes(c, 200, form_page(base_, recall(settings_.memory)));
  if (rest == "/style.css") return send_bytes(c, 200, kStyleSheet, "text/css; charset=utf-8");
  if (rest == "/guide") return send_bytes(c, 200, guide_page(base_));
  if (rest == "/watch.js")
    return send_bytes(c, 200, kWatchScript, "text/javascript; charset=utf-8");
  return not_here(c);
}

MHD_Result Server::begin_post(MHD_Connection* c, Request* req) {
  std::string length(header(c, "Content-Length"));
  if (!header(c, "Content-Type").starts_with("multipart/form-data")) {
    return message(c, 400, "Not sent", "The form sent is not this page's form.");
  }
  if (length.empty() || std::strtoull(length.c_str(), nullptr, 10) > kMaxJobBytes + (1u << 20)) {
    return message(c, length.empty() ? 411 : 413, "Too much at once",
                   "The files together are larger than 256 MB.");
  }
  std::string why;
  req->job = jobs_.create(&why);
  if (req->job == nullptr) {
    return why.empty() ? message(c, 503, "Busy", "Other lists are being made right now. Wait a "
                                                 "minute and send again.")
                       : message(c, 500, "Something went wrong",
                                 "The lists cannot be made: " + why + ".");
  }
  req->upload = std::make_unique<UploadReceiver>(*req->job);
  req->form = MHD_create_post_processor(
      c, kFormBuffer,
      [](void* r, MHD_ValueKind, const char* key, const char* filename, const char*, const char*,
         const char* data, uint64_t offset, size_t size) {
        return static_cast<Request*>(r)->upload->piece(key != nullptr ? key : "",
                                                       filename != nullptr ? filename : "", offset,
                                                       data, size)
                   ? MHD_YES
                   : MHD_NO;
      },
      req);
  req->broken = req->form == nullptr;
  return MHD_YES;
}

MHD_Result Server::end_post(MHD_Connection* c, Request* req) {
  // Received whole: from here the job is the table's, not the request's.
  std::unique_ptr<UploadReceiver> upload = std::move(req->upload);
  Job& job = *req->job;
  if (req->broken || !upload->finish()) {
    jobs_.discard(req->job);
    unsigned status = upload->status() != 0 ? upload->status() : 400;
    return message(c, status, status == 413 ? "Too much at once" : "Not sent",
                   status != 400 ? upload->why() : "The form sent is not this page's form.");
  }
  job.unit = choose_unit(settings_.memory, upload->unit());
  job.keep = upload->keep();
  job.received = upload->files();
  jobs_.start(req->job);
  return redirect(c, job.base + "/jobs/" + job.id);
}

MHD_Result Server::job_page(MHD_Connection* c, Request* req) {
  Job& job = *req->job;
  std::unique_lock lock(job.mutex);
  if (job.state != JobState::kDone) {
    JobState state = job.state;
    lock.unlock();
    std::lock_guard wait_lock(wait_mutex_);
    if (req->waited || stopping_) return send_bytes(c, 200, working_page(job, state));
    // Answered when the job ends, or after kJobWait with "Working".
    req->waited = true;
    waiters_.push_back({c, &job, std::chrono::steady_clock::now() + kJobWait});
    MHD_suspend_connection(c);
    return MHD_YES;
  }
  JobResult r = job.result;
  ResultsView view{job.archive_state, job.finishing,
                   {!settings_.programs.contacts.empty(), !settings_.programs.book.empty()},
                   settings_.keep};
  lock.unlock();
  if (r.folder_gone || ::access(job.work().c_str(), F_OK) != 0) {
    return message(c, 410, "Results gone",
                   "The files of these results were removed from this computer while kinroll-web "
                   "ran. Send the printouts again.");
  }
  return send_bytes(c, 200, results_page(job, r, view));
}

MHD_Result Server::job_file(MHD_Connection* c, Job& job, std::string_view what) {
  std::unique_lock lock(job.mutex);
  if (what == "status") {
    JobState state = job.state;
    const char* where = state != JobState::kDone ? "working\n"
                        : job.finishing          ? "results\n"
                                                 : "done\n";
    lock.unlock();
    return send_bytes(c, 200, where + progress_text(job, state) + "\n",
                      "text/plain; charset=utf-8");
  }
  if (job.state != JobState::kDone) return lock.unlock(), not_here(c);
  JobResult r = job.result;
  if (job.archive_state == ArchiveState::kFailed && what == "archive.zip") {
    std::string why = job.archive_error;
    return lock.unlock(), message(c, 500, "No archive", "The archive could not be made: " + why);
  }
  lock.unlock();
  bool download = what.starts_with("file/");
  std::string name(what.substr(std::min<size_t>(what.size(), 5)));
  std::string path = job.work() + "/" + name;
  if (what == "archive.zip") {
    path = job.archive();
  } else if ((!download && !what.starts_with("view/")) ||
             std::ranges::find(r.written, name, &WrittenFile::name) == r.written.end()) {
    return not_here(c);
  }
  uint64_t size = 0;
  int fd = open_regular(path, &size);
  if (fd < 0) return not_here(c);  // gone, or an archive not made yet
  bool pdf = name.ends_with(".pdf");
  if (download || what == "archive.zip" || pdf) {
    // A PDF is viewed in the browser's own viewer.
    if (what == "archive.zip") name = job.archive_name();
    std::string disposition = std::string(download || !pdf ? "attachment" : "inline") +
                              "; filename=\"" + name.substr(name.rfind('/') + 1) + "\"";
    MHD_Response* response = MHD_create_response_from_fd64(size, fd);
    if (response == nullptr) ::close(fd);
    const char* type = pdf        ? "application/pdf"
                       : download ? "application/octet-stream"
                                  : "application/zip";
    return send(c, 200, response,
                {"Content-Type", type, "Content-Disposition", disposition.c_str()});
  }
  ::close(fd);
  const char* asked = MHD_lookup_connection_value(c, MHD_GET_ARGUMENT_KIND, "page");
  size_t page = asked != nullptr ? std::strtoul(asked, nullptr, 10) : 1;
  bool csv = name.ends_with(".csv");
  FilePage part;
  if (!read_page(path, csv, csv ? kViewRows : kViewLines, page, &part)) return not_here(c);
  return send_bytes(c, 200, view_page(job, name, part));
}

MHD_Result Server::forget(MHD_Connection* c, std::string_view what) {
  Remembered thing;
  if (!remembered_by_name(what, &thing)) return not_here(c);
  if (!forget_remembered(settings_.memory, thing)) {
    return message(c, 500, "Something went wrong",
                   std::string("It could not be forgotten: ") + std::strerror(errno) + ".");
  }
  return redirect(c, base_ + "/");
}

void Server::wake(const Job* job) {
  auto now = std::chrono::steady_clock::now();
  std::lock_guard lock(wait_mutex_);
  std::erase_if(waiters_, [&](const Waiter& w) {
    bool due = job == nullptr ? stopping_ || w.until <= now : w.job == job;
    if (due) MHD_resume_connection(w.connection);
    return due;
  });
}
