// The key table against the README's table of controls, and against itself.
#include "app/key_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Unit tests run in demo/.
const char* const README = "../README.md";

using Row = std::tuple<std::string, std::string, std::string>; // key, mode, effect

std::string trimmed(const std::string& text) {
    std::string kept;
    for (char c : text)
        if (c != '`')
            kept += c;
    const size_t first = kept.find_first_not_of(" \t"), last = kept.find_last_not_of(" \t");
    return first == std::string::npos ? "" : kept.substr(first, last - first + 1);
}

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The cells of a Markdown table row "| a | b |".
std::vector<std::string> cells(const std::string& line) {
    std::vector<std::string> found;
    std::string text = trimmed(line);
    if (!text.empty() && text.front() == '|')
        text.erase(0, 1);
    if (!text.empty() && text.back() == '|')
        text.pop_back();
    size_t start = 0;
    for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', start)) {
        found.push_back(trimmed(text.substr(start, bar - start)));
        start = bar + 1;
    }
    found.push_back(trimmed(text.substr(start)));
    return found;
}

size_t headingLevel(const std::string& line) {
    const size_t level = line.find_first_not_of('#');
    return level != std::string::npos && level > 0 && line[level] == ' ' ? level : 0;
}

// The lines of the first table under the "Controls" heading, within its section; empty when there is none.
std::vector<std::string> controlsTable(std::istream& readme) {
    std::vector<std::string> table;
    size_t section = 0;
    std::string line;
    while (std::getline(readme, line)) {
        const size_t level = headingLevel(line);
        if (level > 0 && section == 0 && lowered(trimmed(line.substr(level))) == "controls") {
            section = level;
            continue;
        }
        if (section == 0)
            continue;
        if (level > 0 && level <= section)
            break;
        if (trimmed(line).rfind('|', 0) == 0)
            table.push_back(line);
        else if (!table.empty())
            break;
    }
    return table;
}

// The rows of the README's controls table, read by its "Key", "Mode" and "Effect" columns.
std::vector<Row> readmeRows() {
    std::ifstream readme(README);
    EXPECT_TRUE(readme.is_open()) << README;
    const std::vector<std::string> table = controlsTable(readme);
    if (table.size() < 2) {
        ADD_FAILURE() << "no table under a \"Controls\" heading in " << README;
        return {};
    }
    std::map<std::string, size_t> column;
    const std::vector<std::string> header = cells(table[0]);
    for (size_t i = 0; i < header.size(); ++i)
        column[lowered(header[i])] = i;
    for (const char* name : {"key", "mode", "effect"})
        if (!column.count(name)) {
            ADD_FAILURE() << "the controls table has no \"" << name << "\" column: " << table[0];
            return {};
        }
    std::vector<Row> rows;
    // table[1] is the line under the header.
    for (size_t i = 2; i < table.size(); ++i) {
        std::vector<std::string> row = cells(table[i]);
        row.resize(header.size());
        rows.emplace_back(row[column["key"]], row[column["mode"]], row[column["effect"]]);
    }
    return rows;
}

} // namespace

TEST(KeyTable, TheReadmesControlsTableListsEveryKeyAsTheTableDoes) {
    std::set<Row> documented;
    for (const Row& row : readmeRows())
        EXPECT_TRUE(documented.insert(row).second) << "twice in the README: " << std::get<0>(row);
    std::set<Row> answered;
    for (const KeyBinding& binding : keyTable())
        answered.emplace(binding.key, keyModeName(binding.mode), binding.effect);
    for (const Row& row : answered)
        EXPECT_TRUE(documented.count(row)) << "the README lacks | " << std::get<0>(row) << " | "
                                           << std::get<1>(row) << " | " << std::get<2>(row) << " |";
    for (const Row& row : documented)
        EXPECT_TRUE(answered.count(row)) << "the key table lacks the README's | " << std::get<0>(row) << " | "
                                         << std::get<1>(row) << " | " << std::get<2>(row) << " |";
}

TEST(KeyTable, EachKeyCodeHasOneRow) {
    std::map<int, std::string> rowOf;
    for (const KeyBinding& binding : keyTable())
        for (int code : binding.codes) {
            auto [at, added] = rowOf.emplace(code, binding.key);
            EXPECT_TRUE(added) << "key code " << code << " in both " << at->second << " and " << binding.key;
        }
}
