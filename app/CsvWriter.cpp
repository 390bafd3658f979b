#include "app/CsvWriter.h"

void WriteRootLines(TSaveFile& file, const std::vector<RootRecord>& records, const std::vector<LineVerdict>& verdicts)
{
    CsvWriter csv(file, "n,root,f_root,updates,left,right,in_step,status,lower,upper,pole_in_step,distance");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RootRecord& r = records[i];
        const LineVerdict& v = verdicts[i];
        csv.Integer(r.number).Number(r.root).Number(r.fRoot).Integer(r.updates).Number(r.left).Number(r.right);
        csv.Text(v.inStep ? "true" : "false").Text(VerdictName(v.verdict)).Bound(v.lower).Bound(v.upper);
        csv.Text(v.poleInStep ? "true" : "false").Bound(v.distance).EndLine();
    }
}

void WriteZeros(TSaveFile& file, const std::vector<RunZero>& zeros)
{
    CsvWriter csv(file, "lower,upper,status,lines");
    for (const RunZero& zero : zeros) {
        std::string numbers;
        for (long long number : zero.lines) {
            if (!numbers.empty()) numbers += ' ';
            numbers += std::to_string(number);
        }
        csv.Number(zero.enclosure.lower).Number(zero.enclosure.upper);
        csv.Text(zero.enclosure.status == EnclosureStatus::Root ? "root" : "undecided").Text(numbers).EndLine();
    }
}
