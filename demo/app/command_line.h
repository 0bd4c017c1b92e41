// Command-line pieces the demo and its tools share: strict numbers, lists of them, a WxH size, and one way
// out for a bad command line, so that each program refuses it the same way before any window opens.
#pragma once

#include <CLI/CLI.hpp>

#include <limits>
#include <optional>
#include <string>
#include <vector>

// The numbers an option accepts; an open end leaves its bound out.
struct Interval {
    double low = -std::numeric_limits<double>::infinity();
    double high = std::numeric_limits<double>::infinity();
    bool lowOpen = false, highOpen = false;

    static Interval atLeast(double low) { return {low}; }
    static Interval above(double low) { return {low, std::numeric_limits<double>::infinity(), true}; }
    static Interval between(double low, double high) { return {low, high}; }
    static Interval strictlyBetween(double low, double high) { return {low, high, true, true}; }

    bool contains(double value) const;
    // As a help text or an error message reads it, `kind` first: "a number above 0, below 2".
    std::string describe(const std::string& kind) const;
};

// A finite number written out whole ("1x", "nan", "0x10" and "" are not), into `value`.
bool parseNumber(const std::string& text, int& value);
bool parseNumber(const std::string& text, float& value);
bool parseNumber(const std::string& text, double& value);

// The items of a comma-separated list; empty ones are kept ("5,,6" has three), so that they are refused
// rather than skipped.
std::vector<std::string> splitList(const std::string& text);

// Adds an option taking one number of `range`.
template <typename T>
CLI::Option* addNumber(CLI::App& app, const std::string& name, T& value, const std::string& description,
                       const Interval& range);

// Adds an option taking comma-separated numbers, as many as one of `counts` allows (any number when
// empty). `ranges[i]` holds for the i-th item, the last one for the items beyond.
template <typename T>
CLI::Option* addNumberList(CLI::App& app, const std::string& name, std::vector<T>& values,
                           const std::string& description, const std::vector<Interval>& ranges,
                           const std::vector<size_t>& counts = {});

// Adds an option taking a size written WIDTH x HEIGHT, e.g. 1280x720, both from 1 to `largest`.
CLI::Option* addSize(CLI::App& app, const std::string& name, int& width, int& height,
                     const std::string& description, int largest);

// Names the program `name` in its usage line, whatever it was started as, and adds --version, which prints
// the name, the version and the commit the program was built from, and ends it with code 0.
void nameProgram(CLI::App& app, const std::string& name);

// Parses the command line into `app`'s options. Empty when the tool goes on; otherwise the code to exit
// with: 0 after the help, 2 after a bad command line, whose message went to standard error.
std::optional<int> parseCommandLine(CLI::App& app, int argc, char** argv);
