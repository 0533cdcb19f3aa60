#pragma once
// What kinroll-web keeps in the user's state folder between runs:
//   web-token     the key in the page's address (32 hexadecimal digits), so
//                 that a bookmarked address works again after a restart
//   web-server    "PID URL" of the instance started last
//   web-jobs/PID  the private folder of instance PID's jobs, locked (flock)
//                 by that instance as long as it runs
// Every file is mode 0600, the folders 0700.

#include <string>

/// Reads the token from STATE/web-token into `*token`; makes and keeps a new
/// one (128 random bits) when there is none, when it is not 32 lower-case
/// hexadecimal digits, or when `renew` is true. False after tool_error()
/// when the state folder or the file cannot be made.
bool load_token(const std::string& state, bool renew, std::string* token);

/// This instance's claim on its private folder: the record web-jobs/PID,
/// locked while the claim lives and removed with it.
class FolderClaim {
 public:
  FolderClaim() = default;
  ~FolderClaim();
  FolderClaim(const FolderClaim&) = delete;
  FolderClaim& operator=(const FolderClaim&) = delete;

  /// Records `root` (absolute) in STATE/web-jobs/PID, locked before it
  /// appears under that name. False when it cannot be written.
  bool claim(const std::string& state, const std::string& root);

 private:
  int fd_ = -1;
  std::string record_;
};

/// Removes the private folders of earlier instances that are gone: every
/// record of STATE/web-jobs that no running instance holds locked, and the
/// folder it names when that is a folder of this user's called
/// kinroll-web-*. Returns how many folders were removed.
int remove_stale_folders(const std::string& state);

/// Writes STATE/web-server for this process and `url`. False when it cannot.
bool record_running(const std::string& state, const std::string& url);

/// The address of the instance recorded in STATE/web-server when that
/// instance still runs (its web-jobs record is locked); else empty.
std::string running_url(const std::string& state);
