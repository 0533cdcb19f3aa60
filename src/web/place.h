#pragma once
// Taking the files of a form for the inputs of the batch they are.

#include <vector>

#include "web/job.h"
#include "web/upload.h"

/// Takes every received file of `job` for the input it is: a printout by
/// its standard name or its title, a configuration file by its field (or
/// its name among the printouts), last month's directory by its field when
/// it has the directory's title. Each is moved from up/N to work/STANDARD_NAME
/// (or last/mis231.txt); the first file taken for an input wins. Fills
/// job.uploads, job.has_directory and job.has_last_month.
void place_uploads(const std::vector<ReceivedFile>& files, Job& job);
