// qvformtr: writes a translated copy of a form resource for a language
// module. The table names the properties to replace, one per line (UTF-8;
// "#" starts a comment line):
//
//   Component.Property = 'text'
//
// with the value written as in the form ('' for a quote). Each table line
// replaces the one-line value of that property of the named component;
// every other line of the form is copied as it is, so the module's form
// always holds all of the program's components. A table line that finds no
// such property fails the build, so that the table follows the form.
//
//   qvformtr FORM TABLE -o OUT
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/os/kernel/CodePage.h"

namespace {

std::string readAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || std::string(argv[3]) != "-o") {
    std::cerr << "usage: qvformtr FORM TABLE -o OUT\n";
    return 2;
  }
  try {
    const std::regex entry(R"(^\s*(\w+)\.([\w.]+)\s*=\s*(.*\S)\s*$)");
    std::map<std::string, std::string> table;  // "Component.Property" -> value (ANSI)
    std::map<std::string, bool> used;
    int number = 0;
    for (const std::string& line : splitLines(readAll(argv[2]))) {
      ++number;
      if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#') continue;
      std::smatch m;
      if (!std::regex_match(line, m, entry))
        throw std::runtime_error(std::string(argv[2]) + ":" + std::to_string(number) + ": not Component.Property = value");
      const std::string key = m[1].str() + "." + m[2].str();
      table[key] = qv::os::utf8ToAnsi(m[3].str());
      used[key] = false;
    }

    const std::regex object(R"(^\s*(object|inherited|inline)\s+(\w+)(\s*:\s*\w+)?.*$)");
    const std::regex item(R"(^\s*item\s*$)");
    const std::regex end(R"(^\s*end\s*>?\s*$)");
    const std::regex property(R"(^(\s*)([\w.]+) = (.*)$)");
    std::vector<std::string> owners;  // "" for unnamed objects and collection items
    std::ostringstream out;
    const std::vector<std::string> lines = splitLines(readAll(argv[1]));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      std::smatch m;
      if (std::regex_match(line, m, object)) {
        owners.push_back(m[3].matched ? m[2].str() : "");
      } else if (std::regex_match(line, item)) {
        owners.push_back("");
      } else if (std::regex_match(line, end)) {
        if (!owners.empty()) owners.pop_back();
      } else if (!owners.empty() && !owners.back().empty() && std::regex_match(line, m, property)) {
        auto it = table.find(owners.back() + "." + m[2].str());
        if (it != table.end()) {
          used[it->first] = true;
          out << m[1].str() << m[2].str() << " = " << it->second << "\n";
          // A value continued on the next lines ("'...' +") goes with it.
          std::string value = m[3].str();
          while (!value.empty() && value.back() == '+' && i + 1 < lines.size()) value = lines[++i];
          continue;
        }
      }
      out << line << "\n";
    }
    for (const auto& [key, found] : used)
      if (!found) throw std::runtime_error(std::string(argv[2]) + ": the form has no one-line property " + key);
    std::ofstream file(argv[4], std::ios::binary);
    file << out.str();
    if (!file) throw std::runtime_error(std::string("cannot write ") + argv[4]);
  } catch (const std::exception& e) {
    std::cerr << "qvformtr: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
