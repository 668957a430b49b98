#pragma once

// What the list and show commands print, in the form --format asks for: the text each has
// always printed, tab-separated values with a header row, or one JSON document. A command
// builds the rows; how they are written is decided here alone.

#include "cli.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv::cli {

struct Column {
    std::string_view field; // as the command's `set` takes it
    bool number = false;    // a number field: a value holding a number is written as one
};

struct Table {
    struct Row {
        long long place;                 // "#": its place in the file or the list, from 1
        std::vector<std::string> values; // one per column, bytes as the text format prints them
    };
    std::vector<Column> columns;
    std::vector<Row> rows;

    void add(long long place, std::vector<std::string> values) {
        rows.push_back({place, std::move(values)});
    }
};

// The columns of a record kind, one per field.
std::vector<Column> fieldColumns(std::span<const Field> fields);

// How the text format shows the rows, as each command printed them before there were others.
enum class TextLayout {
    FirstValue,    // the first column's value, one line per row
    FieldLines,    // "field: value", one line per column
    NumberedLines, // "field N: value", N the row's place
    ColonPair,     // the row's values joined by ": "
    Tabs,          // the row's values joined by tabs
};

// --format text|tsv|json, which every list and show command declares.
inline const Value kFormat{"--format", "text|tsv|json",
                           "text (default), tsv or json (UTF-8, by field name)"};

// Prints the table `build` returns as --format asks. A bad --format is refused before `build`
// reads anything.
int printTable(CliContext& c, const Args& args, TextLayout layout,
               const std::function<Table()>& build);

} // namespace hv::cli
