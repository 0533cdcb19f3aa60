#include "web/place.h"

#include <cstdio>
#include <set>
#include <string>

#include "web/recognise.h"

void place_uploads(const std::vector<ReceivedFile>& files, Job& job) {
  std::set<std::string> taken;
  for (size_t i = 0; i < files.size(); ++i) {
    const ReceivedFile& part = files[i];
    std::string from = job.folder + "/up/" + std::to_string(i);
    UploadedFile up{part.name, part.size, nullptr, ""};
    const BatchInput* input = nullptr;
    if (part.field == kUnitsField || part.field == kOrgsField) {
      input = batch_input(part.field == kUnitsField ? "wardunits.txt" : "wardorgs.txt");
    } else {
      char head[kTitleWindow];
      size_t got = 0;
      if (FILE* fp = std::fopen(from.c_str(), "rb")) {
        got = std::fread(head, 1, sizeof head, fp);
        std::fclose(fp);
      }
      input = recognise_input(part.name, std::string_view(head, got));
    }
    std::string to;
    if (part.field == kLastMonthField) {
      if (input == batch_input("mis231.txt") && !job.has_last_month) to = job.folder + "/last/mis231.txt";
      else up.note = "not a directory of members (MIS 231)";
    } else if (input == nullptr) {
      up.note = "not recognised: none of the printouts or configuration files";
    } else if (!taken.insert(input->file).second) {
      up.note = std::string("another file was already taken for ") + input->file;
    } else {
      to = job.work() + "/" + input->file;
    }
    if (!to.empty() && std::rename(from.c_str(), to.c_str()) == 0) {
      if (part.field == kLastMonthField) {
        job.has_last_month = true;
        up.taken_as = "last month's mis231.txt";
      } else {
        up.taken_as = input->file;
        job.has_directory = job.has_directory || input == batch_input("mis231.txt");
      }
    } else if (!to.empty()) {
      up.note = "could not be saved";
    }
    job.uploads.push_back(std::move(up));
  }
}
