#pragma once
// The command line's CSV files: a header line, then one line per record, fields separated by
// commas. Numbers are written as the shortest text that reads back to the same double, whatever
// the locale, "nan", "inf" and "-inf" for the others.
#include "core/CalculationRun.h"
#include "core/RootVerdict.h"
#include "os/SaveFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

// Builds each line in a string and writes it whole to the file. Inline: a points file takes two
// numbers and a line for every point of the plot.
class CsvWriter {
public:
    // Writes `header`, the names of the fields, as the first line.
    CsvWriter(TSaveFile& file, std::string_view header) : file_(file) { Text(header).EndLine(); }

    CsvWriter& Number(double value) { return std::isnan(value) ? Text("nan") : Shortest(value); }
    // A bound that may be missing: empty for NaN.
    CsvWriter& Bound(double value) { return std::isnan(value) ? Text("") : Shortest(value); }
    CsvWriter& Integer(long long value) { return Shortest(value); }

    CsvWriter& Text(std::string_view text)
    {
        NextField();
        return Append(text);
    }

    // Writes the line; raises Exception when the write fails.
    void EndLine()
    {
        Put('\n');
        file_.Write(std::string_view(line_.data(), length_));
        length_ = 0;
        fieldStarted_ = false;
    }

private:
    // A double's shortest text, or a long long's, has at most 24 characters.
    static constexpr std::size_t kLongestNumber = 24;

    template <class Value>
    CsvWriter& Shortest(Value value)
    {
        NextField();
        char* const first = Room(kLongestNumber);
        length_ += static_cast<std::size_t>(std::to_chars(first, first + kLongestNumber, value).ptr - first);
        return *this;
    }

    void NextField()
    {
        if (fieldStarted_) Put(',');
        fieldStarted_ = true;
    }

    // The line's storage from its end on, with room for `count` more characters.
    char* Room(std::size_t count)
    {
        if (length_ + count > line_.size()) line_.resize(std::max(2 * line_.size(), length_ + count));
        return line_.data() + length_;
    }

    void Put(char c)
    {
        *Room(1) = c;
        ++length_;
    }

    CsvWriter& Append(std::string_view text)
    {
        length_ += text.copy(Room(text.size()), text.size());
        return *this;
    }

    TSaveFile& file_;
    // The line is its first length_ characters: kept apart from the string's size, as appending
    // through the string would check its room and write a terminator at every step (4% of a points
    // file's time).
    std::string line_ = std::string(64, '\0');
    std::size_t length_ = 0;
    bool fieldStarted_ = false;
};

// n,root,f_root,updates,left,right,in_step,status,lower,upper,pole_in_step,distance: every root
// line of a run with its verdict.
void WriteRootLines(TSaveFile& file, const std::vector<RootRecord>& records, const std::vector<LineVerdict>& verdicts);

// lower,upper,status,lines: every zero of f on the interval, with the numbers of the root lines
// that found it, separated by spaces.
void WriteZeros(TSaveFile& file, const std::vector<RunZero>& zeros);
