#include "output.h"

#include "gamefiles/text.h"
#include "gamefiles/unicode.h"

#include <nlohmann/json.hpp>

#include <ostream>

namespace hv::cli {
namespace {

enum class Format { Text, Tsv, Json };

Format formatOf(const Args& args) {
    const std::string format = args[kFormat].value_or("text");
    if (format == "text")
        return Format::Text;
    if (format == "tsv")
        return Format::Tsv;
    if (format == "json")
        return Format::Json;
    throw UsageError{"--format takes text, tsv or json, not \"" + format + "\""};
}

void printText(std::ostream& out, TextLayout layout, const Table& table) {
    for (const Table::Row& row : table.rows) {
        if (layout == TextLayout::FirstValue) {
            out << row.values.at(0) << "\n";
            continue;
        }
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            const std::string_view field = table.columns[i].field;
            switch (layout) {
            case TextLayout::FieldLines:
                out << field << ": " << row.values[i] << "\n";
                break;
            case TextLayout::NumberedLines:
                out << field << " " << row.place << ": " << row.values[i] << "\n";
                break;
            case TextLayout::ColonPair:
            case TextLayout::Tabs:
                out << (i == 0                       ? ""
                        : layout == TextLayout::Tabs ? "\t"
                                                     : ": ")
                    << row.values[i] << (i + 1 == row.values.size() ? "\n" : "");
                break;
            case TextLayout::FirstValue:
                break;
            }
        }
    }
}

// A value of a number column holding a number is that number, blanks and sign dropped.
std::optional<long long> numberOf(const Column& column, const std::string& value) {
    return column.number ? parseNumber(value) : std::nullopt;
}

// A TSV cell cannot hold a tab or a line end: those and the backslash are escaped as \t, \n,
// \r and \\, as the tab-separated formats of databases do.
std::string tsvCell(const std::string& utf8) {
    std::string cell;
    for (char ch : utf8) {
        switch (ch) {
        case '\t':
            cell += "\\t";
            break;
        case '\n':
            cell += "\\n";
            break;
        case '\r':
            cell += "\\r";
            break;
        case '\\':
            cell += "\\\\";
            break;
        default:
            cell += ch;
        }
    }
    return cell;
}

void printTsv(std::ostream& out, const Table& table) {
    out << "#";
    for (const Column& column : table.columns)
        out << "\t" << tsvCell(std::string(column.field));
    out << "\n";
    for (const Table::Row& row : table.rows) {
        out << row.place;
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            const auto number = numberOf(table.columns[i], row.values[i]);
            out << "\t" << (number ? std::to_string(*number) : tsvCell(bytesToUtf8(row.values[i])));
        }
        out << "\n";
    }
}

void printJson(std::ostream& out, const Table& table) {
    nlohmann::ordered_json document = nlohmann::ordered_json::array();
    for (const Table::Row& row : table.rows) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        object["#"] = row.place;
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            const std::string field(table.columns[i].field);
            if (const auto number = numberOf(table.columns[i], row.values[i]))
                object[field] = *number;
            else
                object[field] = bytesToUtf8(row.values[i]);
        }
        document.push_back(std::move(object));
    }
    out << document.dump(2) << "\n";
}

} // namespace

std::vector<Column> fieldColumns(std::span<const Field> fields) {
    std::vector<Column> columns;
    for (const Field& f : fields)
        columns.push_back({f.name, f.kind == FieldKind::Number});
    return columns;
}

int printTable(CliContext& c, const Args& args, TextLayout layout,
               const std::function<Table()>& build) {
    const Format format = formatOf(args);
    const Table table = build();
    switch (format) {
    case Format::Text:
        printText(c.out, layout, table);
        break;
    case Format::Tsv:
        printTsv(c.out, table);
        break;
    case Format::Json:
        printJson(c.out, table);
        break;
    }
    return kOk;
}

} // namespace hv::cli
