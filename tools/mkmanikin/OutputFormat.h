#pragma once

#include <cstddef>
#include <string>

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace mkcli {

// How a command prints its table.
enum class TableFormat { Text, Csv, Json };
// False for a name other than "text", "csv" and "json".
bool ParseTableFormat(const std::string& name, TableFormat& format);
// --format text|csv|json, text by default.
CLI::Option* AddFormatOption(CLI::App& command, std::string& format);

// A CSV field, quoted (RFC 4180) when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
// `text` filled with blanks to `width` columns, on the left when `right`.
std::string Padded(const std::string& text, std::size_t width, bool right);

}  // namespace mkcli
