#include "gangjobs.h"

#include "sheetsize.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <set>

namespace sheetcraft {

namespace {

std::string trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return std::string(s);
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// The fields of one line; nothing when a quote is left open.
std::optional<std::vector<std::string>> fields(std::string_view line) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const char c = line[k];
        if (quoted && c == '"' && k + 1 < line.size() && line[k + 1] == '"')
            out.back() += '"', ++k;
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            out.emplace_back();
        else
            out.back() += c;
    }
    if (quoted)
        return std::nullopt;
    for (std::string &f : out)
        f = trim(f);
    return out;
}

std::string quoted(const std::string &s) {
    if (s.find_first_of(",\"\n") == std::string::npos && trim(s) == s)
        return s;
    std::string out = "\"";
    for (char c : s)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

} // namespace

std::string gangSizeText(const GangJob &job) {
    return number(std::max(job.width, job.depth)) + "x" + number(std::min(job.width, job.depth));
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
        if (trim(line).empty())
            continue;
        const auto f = fields(line);
        const auto refuse = [&](std::string why) {
            r.jobs.clear();
            r.badLine = lineNo;
            r.why = std::move(why);
            return r;
        };
        if (!header) {
            if (!f || f->size() != 4 || lower((*f)[0]) != "name" || lower((*f)[1]) != "size" ||
                lower((*f)[2]) != "quantity" || lower((*f)[3]) != "grain")
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
        const std::string size = lower((*f)[1]);
        if (!isUsableSize(size, SizeRole::Finished))
            return refuse("the size " + (*f)[1] + " is not a size such as 3.5x2");
        const SheetDims dims = readDims(storageForm(size));
        job.width = dims.width;
        job.depth = dims.depth;
        const std::string &q = (*f)[2];
        const auto [ptr, ec] = std::from_chars(q.data(), q.data() + q.size(), job.quantity);
        if (ec != std::errc() || ptr != q.data() + q.size() || job.quantity < 1)
            return refuse("the quantity " + q + " is not a whole number from 1");
        const std::string grain = lower((*f)[3]);
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
        out += quoted(j.name) + "," + gangSizeText(j) + "," + std::to_string(j.quantity) + "," +
               grainText(j.grain) + "\n";
    return out;
}

} // namespace sheetcraft
