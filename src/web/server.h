#pragma once
// The page of kinroll-web over HTTP, through libmicrohttpd's event loop on
// one thread of its own: every page under "/TOKEN/" (any other path is a
// bare 404), the form received into a job, the job's page, which waits a
// moment for the job to end, and the job's files; a post to
// "/TOKEN/forget/WHAT" forgets a remembered thing (memory.h).

#include <microhttpd.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "web/job.h"
#include "web/jobs.h"
#include "web/listen.h"
#include "web/memory.h"

/// How the server is set up.
struct ServerSettings {
  ListenAddress listen;  ///< numeric address to listen on
  int port = 8080;       ///< 0: a free port
  std::string token;     ///< the key in every address of the page
  std::string state;     ///< the user's state folder (instance.h), made
  MemoryFolders memory;  ///< where what the page remembers is
  JobPrograms programs;
  std::chrono::milliseconds keep{std::chrono::minutes(30)};  ///< results kept after a fetch
};

struct Request;

/// The HTTP server and its jobs. Its jobs' private folder is made with it
/// (check root()); the folder and every job folder go with it.
class Server {
 public:
  explicit Server(const ServerSettings& settings);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  /// The jobs' private folder; empty when it could not be made.
  const std::string& root() const { return jobs_.root(); }

  /// Serves on the listening socket `fd`, which then belongs to the server,
  /// bound to `port` (the port the Host headers must name). False when
  /// libmicrohttpd cannot start.
  bool start(int fd, int port);
  /// Where the page is: "http://HOST:PORT/TOKEN/".
  std::string url() const { return "http://" + hosts_[0] + base_ + "/"; }
  /// Answers the job pages that waited long enough, and every fourth call
  /// removes the results kept past their time: to be called every quarter
  /// of a second.
  void tick();
  /// Ends every job (their programs killed, their folders removed), then
  /// stops serving: every connection is closed. Returns how many jobs ran.
  int stop();

 private:
  /// A job's page waiting for its job (suspended), until `until`.
  struct Waiter {
    MHD_Connection* connection;
    const Job* job;
    std::chrono::steady_clock::time_point until;
  };

  static MHD_Result on_request(void* self, MHD_Connection* c, const char* url,
                               const char* method, const char*, const char* data, size_t* size,
                               void** state);
  static void on_done(void* self, MHD_Connection*, void** state, MHD_RequestTerminationCode);
  MHD_Result first_call(MHD_Connection* c, std::string_view url, std::string_view method,
                        Request* req);
  MHD_Result begin_post(MHD_Connection* c, Request* req);
  MHD_Result end_post(MHD_Connection* c, Request* req);
  MHD_Result get(MHD_Connection* c, Request* req);
  MHD_Result job_page(MHD_Connection* c, Request* req);
  MHD_Result job_file(MHD_Connection* c, Job& job, std::string_view what);
  /// Forgets the remembered thing `what` names, then sends to the form.
  MHD_Result forget(MHD_Connection* c, std::string_view what);
  MHD_Result message(MHD_Connection* c, unsigned status, std::string_view title,
                     std::string_view sentence);
  MHD_Result not_here(MHD_Connection* c);
  /// Resumes the pages waiting for `job`, or (null) those past their time.
  void wake(const Job* job);

  ServerSettings settings_;
  std::string base_;  // "/TOKEN"
  std::vector<std::string> hosts_;
  JobTable jobs_;
  MHD_Daemon* daemon_ = nullptr;
  int ticks_ = 0;
  std::mutex wait_mutex_;  // guards waiters_ and stopping_
  std::vector<Waiter> waiters_;
  bool stopping_ = false;
};
