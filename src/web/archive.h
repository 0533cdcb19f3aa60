#pragma once
// The archive of a job's results, one .zip file through libzip.

#include <atomic>
#include <string>
#include <vector>

/// One file of an archive.
struct ArchiveEntry {
  std::string name;  ///< its name in the archive, a plain name
  std::string path;  ///< where its bytes are
};

/// Writes the zip archive `zip_path` holding `entries`, each compressed
/// with deflate at its fastest level (printouts' lists shrink about as much
/// at the strongest, many times slower), in order: first under `zip_path` +
/// ".part", renamed to `zip_path` once complete, so that the archive is
/// there whole or not at all. Returns false, with `*error` set and no
/// archive left, when a file cannot be read, the archive cannot be written,
/// or `cancel` turns true while it is made.
bool write_archive(const std::string& zip_path, const std::vector<ArchiveEntry>& entries,
                   const std::atomic<bool>& cancel, std::string* error);
