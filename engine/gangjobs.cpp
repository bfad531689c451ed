#include "gangjobs.h"

#include "csv.h"
#include "numberformat.h"
#include "sheetsize.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <set>

namespace sheetcraft {

std::string gangSizeText(const GangJob &job) {
    return sheetNumber(std::max(job.width, job.depth)) + "x" +
           sheetNumber(std::min(job.width, job.depth));
}

GangJobsRead readGangJobs(std::string_view text) {
    GangJobsRead r;
    std::set<std::string> names;
    int lineNo = 0;
    bool header = false;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (trimmed(line).empty())
            continue;
        const auto f = csvFields(line);
        const auto refuse = [&](std::string why) {
            r.jobs.clear();
            r.badLine = lineNo;
            r.why = std::move(why);
            return r;
        };
        if (!header) {
            if (!f || f->size() != 4 || lowerCase((*f)[0]) != "name" ||
                lowerCase((*f)[1]) != "size" || lowerCase((*f)[2]) != "quantity" ||
                lowerCase((*f)[3]) != "grain")
                return refuse("the first line must be name,size,quantity,grain");
            header = true;
            continue;
        }
        if (!f || f->size() != 4)
            return refuse("a job takes four fields: name, size, quantity, grain");
        GangJob job;
        job.name = (*f)[0];
        if (job.name.empty())
            return refuse("the job has no name");
        if (!names.insert(job.name).second)
            return refuse("a job named " + job.name + " is already listed");
        const std::string size = lowerCase((*f)[1]);
        if (!isUsableSize(size, SizeRole::Finished))
            return refuse("the size " + (*f)[1] + " is not a size such as 3.5x2");
        const SheetDims dims = readDims(storageForm(size));
        job.width = dims.width;
        job.depth = dims.depth;
        const std::string &q = (*f)[2];
        const auto [ptr, ec] = std::from_chars(q.data(), q.data() + q.size(), job.quantity);
        if (ec != std::errc() || ptr != q.data() + q.size() || job.quantity < 1)
            return refuse("the quantity " + q + " is not a whole number from 1");
        const std::string grain = lowerCase((*f)[3]);
        auto rule = grain.empty() ? std::optional(GrainRule::Any) : grainFromText(grain);
        if (rule == GrainRule::OneWay) // each job keeps its own rule; one way is for a whole sheet
            rule.reset();
        if (!rule)
            return refuse("the grain " + (*f)[3] + " is not any, along or across");
        job.grain = *rule;
        r.jobs.push_back(std::move(job));
    }
    if (!header) {
        r.badLine = 1;
        r.why = "the first line must be name,size,quantity,grain";
    }
    return r;
}

std::string gangJobsCsv(const std::vector<GangJob> &jobs) {
    std::string out = "name,size,quantity,grain\n";
    for (const GangJob &j : jobs)
        out += csvField(j.name) + "," + gangSizeText(j) + "," + std::to_string(j.quantity) + "," +
               grainText(j.grain) + "\n";
    return out;
}

} // namespace sheetcraft
