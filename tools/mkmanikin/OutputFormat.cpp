#include "OutputFormat.h"

#include <CLI/CLI.hpp>

namespace mkcli {

bool ParseTableFormat(const std::string& name, TableFormat& format) {
  if (name == "text")
    format = TableFormat::Text;
  else if (name == "csv")
    format = TableFormat::Csv;
  else if (name == "json")
    format = TableFormat::Json;
  else
    return false;
  return true;
}

CLI::Option* AddFormatOption(CLI::App& command, std::string& format) {
  format = "text";
  return command.add_option("--format", format, "Output format")
      ->type_name("text|csv|json")
      ->default_str("text")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            TableFormat ignored;
            if (ParseTableFormat(text, ignored)) return {};
            return "'" + text + "' is not a format: give text, csv or json";
          },
          "", "FORMAT"));
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Padded(const std::string& text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  const std::string pad(width - text.size(), ' ');
  return right ? pad + text : text + pad;
}

}  // namespace mkcli
