#pragma once
// Receiving the form of one job: its files streamed into the job folder
// under numbers, within bounds (the job's thread takes each for the input
// it is: place.h).

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "web/job.h"

/// Bounds of one upload.
inline constexpr uint64_t kMaxFileBytes = 64ull << 20;
inline constexpr uint64_t kMaxJobBytes = 256ull << 20;
inline constexpr int kMaxFiles = 32;
inline constexpr size_t kMaxFieldBytes = 1024;  ///< a text field (the unit name)

/// The form fields of the page.
inline constexpr const char* kPrintoutsField = "printouts";  ///< any number of files
inline constexpr const char* kUnitsField = "wardunits";      ///< a file
inline constexpr const char* kOrgsField = "wardorgs";        ///< a file
inline constexpr const char* kLastMonthField = "lastmonth";  ///< a file
inline constexpr const char* kUnitField = "unit";            ///< text
inline constexpr const char* kKeepField = "keep";            ///< a box: sent when ticked

/// Takes the parts of one multipart form, in order, for the job `job`
/// (still receiving; it must outlive the receiver). A file part is written
/// to up/N of the job folder, N counting from 0; the name the browser gave
/// is kept for the page only. A text part is kept in memory. After a
/// false return the upload must be abandoned; status() and why() say why.
class UploadReceiver {
 public:
  explicit UploadReceiver(Job& job) : job_(job) {}
  ~UploadReceiver();
  UploadReceiver(const UploadReceiver&) = delete;
  UploadReceiver& operator=(const UploadReceiver&) = delete;

  /// Takes a piece of the form as the form reader hands it on: `size`
  /// bytes at `data`, `offset` bytes into the value of the field `field`
  /// (a file part when `filename` is not empty). A part begins at offset 0;
  /// the reader may first hand on an empty piece, then its bytes from
  /// offset 0 again. False past kMaxFiles files, kMaxFileBytes for a file,
  /// kMaxJobBytes for the whole upload or kMaxFieldBytes for a text, for an
  /// unknown file field, or when a file cannot be written.
  bool piece(std::string_view field, std::string_view filename, uint64_t offset,
             const char* data, size_t size);
  /// Ends the last part. False when it cannot be written.
  bool finish();

  /// The HTTP status for a refused upload: 413 past a bound, 400 for a form
  /// that is not this page's, 500 for a file that could not be written.
  int status() const { return status_; }
  /// What was wrong, as a sentence for the clerk.
  const std::string& why() const { return why_; }

  /// The unit name received; empty when not sent.
  const std::string& unit() const { return unit_; }
  /// True when the keep box was ticked (its field sent with a value).
  bool keep() const { return !keep_.empty(); }

  /// The files received, in order.
  const std::vector<ReceivedFile>& files() const { return files_; }

 private:
  bool begin(std::string_view field, std::string_view filename);
  bool add(const char* data, size_t size);
  bool refuse(int status, std::string why);
  bool close_file();

  Job& job_;
  std::vector<ReceivedFile> files_;
  FILE* file_ = nullptr;      // the file part being written
  std::string* text_ = nullptr;  // the text part being read, or null
  std::string ignored_;       // an empty file input, or a text field not used
  uint64_t total_ = 0;
  bool empty_start_ = false;  // the last piece began a part and was empty
  std::string empty_part_;    // that part's field and file name
  int status_ = 0;
  std::string why_;
  std::string unit_;
  std::string keep_;
};
