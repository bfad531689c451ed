#pragma once

#include "gangplan.h"

#include <string>
#include <string_view>
#include <vector>

namespace sheetcraft {

// A job list read from its CSV text, or the first line that could not be read.
struct GangJobsRead {
    std::vector<GangJob> jobs;
    int badLine = 0; // 1-based; 0 when every line was read
    std::string why;
};

// Header "name,size,quantity,grain"; sizes as typed in the size cells, the
// quantity a whole number from 1, the grain any, along or across (empty: any).
// Fields may be quoted with double quotes. Blank lines are skipped; a name
// given twice is refused.
GangJobsRead readGangJobs(std::string_view text);
std::string gangJobsCsv(const std::vector<GangJob> &jobs);

// A job's size as the size cells show it, larger number first.
std::string gangSizeText(const GangJob &job);

} // namespace sheetcraft
