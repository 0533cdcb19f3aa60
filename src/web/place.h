#pragma once
// Taking the files of a form for the inputs of the batch they are, by what
// they hold, and refusing what cannot be trusted. Each file is read whole,
// so this runs on the job's own thread, before its programs.

#include <atomic>
#include <string>
#include <vector>

#include "web/job.h"

/// Takes every file of `files`, received into FOLDER/up/N (N its place in
/// `files`), for the input it is, and returns what each was taken for.
///
/// A file is refused (UploadedFile::refused, with a sentence in its note
/// and among the refusals) when
///   - it is a PDF, a zip archive or a word-processor file by its first
///     bytes (sniff_kind), or holds a NUL byte;
///   - it was chosen as last month's directory and is not a directory of
///     members (MIS 231) by its title;
///   - it was chosen as a configuration file and is neither a printout by
///     its title nor a file of that box's shape (fit_config), or bears the
///     other configuration file's standard name;
///   - it was chosen among the printouts and bears a printout's standard
///     name without that report's title, or a configuration file's
///     standard name without its shape, or has the shape of a
///     configuration file under another name;
///   - it is taken for an input and is UTF-8 with a character past U+00FF;
///   - it is one of two or more files taken for one input: one sentence
///     names them all and asks for one.
/// Otherwise a printout is taken by its title whatever its box (a printout
/// chosen as a configuration file goes among the printouts), a
/// configuration file in its box by its shape or, chosen among the
/// printouts, by its standard name and its shape; another file among the
/// printouts is not used (UploadedFile::note says so).
///
/// Only when nothing is refused are the files taken put in place: moved to
/// FOLDER/work/STANDARD_NAME (FOLDER/last/mis231.txt for last month's
/// directory), a UTF-8 file written there as Latin-1 instead
/// (UploadedFile::converted); one that cannot be put there is refused.
/// The files not moved stay in up/. The refusals come in the order of the
/// files, those of two files for one input last. When `cancel` turns true
/// the files left are not read and the placement is refused.
Placement place_uploads(const std::vector<ReceivedFile>& files, const std::string& folder,
                        const std::atomic<bool>& cancel);
