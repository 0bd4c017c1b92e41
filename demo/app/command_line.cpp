#include "app/command_line.h"

#include "app/build_info.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <type_traits>

namespace {

template <typename T> bool parseWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

template <typename T> std::string kindOfNumber() {
    return std::is_integral<T>::value ? "a whole number" : "a number";
}

template <typename T>
T numberOrThrow(const std::string& name, const std::string& text, const Interval& range) {
    T value{};
    if (!parseNumber(text, value) || !range.contains(value))
        throw CLI::ValidationError(name, "'" + text + "' is not " + range.describe(kindOfNumber<T>()));
    return value;
}

std::string formatNumber(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

std::string countsText(const std::vector<size_t>& counts) {
    std::string text;
    for (size_t i = 0; i < counts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == counts.size() ? " or " : ", ") + std::to_string(counts[i]);
    return text;
}

} // namespace

bool Interval::contains(double value) const {
    bool aboveLow = lowOpen ? value > low : value >= low;
    bool belowHigh = highOpen ? value < high : value <= high;
    return std::isfinite(value) && aboveLow && belowHigh;
}

std::string Interval::describe(const std::string& kind) const {
    std::string text = kind;
    if (std::isfinite(low))
        text += (lowOpen ? " above " : " from ") + formatNumber(low);
    if (std::isfinite(high) && std::isfinite(low))
        text += (highOpen ? " and below " : " to ") + formatNumber(high);
    else if (std::isfinite(high))
        text += (highOpen ? " below " : " up to ") + formatNumber(high);
    return text;
}

bool parseNumber(const std::string& text, int& value) {
    return parseWhole(text, value);
}

bool parseNumber(const std::string& text, float& value) {
    return parseWhole(text, value) && std::isfinite(value);
}

bool parseNumber(const std::string& text, double& value) {
    return parseWhole(text, value) && std::isfinite(value);
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        items.push_back(text.substr(start, comma - start));
    items.push_back(text.substr(start));
    return items;
}

template <typename T>
CLI::Option* addNumber(CLI::App& app, const std::string& name, T& value, const std::string& description,
                       const Interval& range) {
    auto parse = [&value, name, range](const std::string& text) {
        value = numberOrThrow<T>(name, text, range);
    };
    return app
        .add_option_function<std::string>(name, parse, description + ": " + range.describe(kindOfNumber<T>()))
        ->type_name(std::is_integral<T>::value ? "N" : "X");
}

template <typename T>
CLI::Option* addNumberList(CLI::App& app, const std::string& name, std::vector<T>& values,
                           const std::string& description, const std::vector<Interval>& ranges,
                           const std::vector<size_t>& counts) {
    auto parse = [&values, name, ranges, counts](const std::string& text) {
        std::vector<T> items;
        for (const std::string& item : splitList(text))
            items.push_back(numberOrThrow<T>(name, item, ranges[std::min(items.size(), ranges.size() - 1)]));
        if (!counts.empty() && std::find(counts.begin(), counts.end(), items.size()) == counts.end())
            throw CLI::ValidationError(name, "takes " + countsText(counts) + " comma-separated values, not " +
                                                 std::to_string(items.size()));
        values = std::move(items);
    };
    return app.add_option_function<std::string>(name, parse, description)->type_name("LIST");
}

CLI::Option* addSize(CLI::App& app, const std::string& name, int& width, int& height,
                     const std::string& description, int largest) {
    auto parse = [&width, &height, name, largest](const std::string& text) {
        const Interval side = Interval::between(1, largest);
        size_t x = text.find('x');
        int parsedWidth = 0, parsedHeight = 0;
        if (x == std::string::npos || !parseNumber(text.substr(0, x), parsedWidth) ||
            !parseNumber(text.substr(x + 1), parsedHeight) || !side.contains(parsedWidth) ||
            !side.contains(parsedHeight))
            throw CLI::ValidationError(name, "'" + text + "' is not a size WIDTHxHEIGHT, both " +
                                                 side.describe("whole numbers"));
        width = parsedWidth;
        height = parsedHeight;
    };
    return app.add_option_function<std::string>(name, parse, description)->type_name("WxH");
}

void nameProgram(CLI::App& app, const std::string& name) {
    app.name(name);
    app.set_version_flag("--version", name + " " + PROGRAM_VERSION + "\ncommit " + BUILD_COMMIT,
                         "prints the name, the version and the commit built from, and ends");
}

std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        // The help is the one way out that is not a refusal.
        return app.exit(error) == 0 ? 0 : 2;
    }
}

template CLI::Option* addNumber(CLI::App&, const std::string&, int&, const std::string&, const Interval&);
template CLI::Option* addNumber(CLI::App&, const std::string&, double&, const std::string&, const Interval&);
template CLI::Option* addNumberList(CLI::App&, const std::string&, std::vector<int>&, const std::string&,
                                    const std::vector<Interval>&, const std::vector<size_t>&);
template CLI::Option* addNumberList(CLI::App&, const std::string&, std::vector<float>&, const std::string&,
                                    const std::vector<Interval>&, const std::vector<size_t>&);
template CLI::Option* addNumberList(CLI::App&, const std::string&, std::vector<double>&, const std::string&,
                                    const std::vector<Interval>&, const std::vector<size_t>&);
