#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace lt {

// One option of a command: what it is called, what value it takes and what
// --help says of it. The parser and --help both read the same entries.
template <class Target>
struct OptionEntry {
    enum class Value {
        None,           // a switch
        Text,           // the next argument, whatever it is
        Number,         // a whole number within [low, high]
        OptionalNumber, // a number when the next argument looks like one
    };
    enum class Section { Search, Network, Output };

    std::string_view name;      // "--jobs"
    std::string_view shortName; // "-h", or empty
    std::string_view valueName; // "N", as --help shows it
    Value value = Value::None;
    Section section = Section::Search;
    std::int32_t low = 0;
    std::int32_t high = 0;
    const char* unit = ""; // follows the range in the messages (" seconds")
    // Wrapped to the help's width; "\n" starts a new line, "{range}"
    // stands for "LOW to HIGH".
    std::string_view help;
    // number is the value of Number options (and of OptionalNumber ones
    // when hasNumber); text the argument as given.
    void (*apply)(Target&, const std::string& text, std::int32_t number, bool hasNumber) = nullptr;
};

// "  --jobs N             load N pages ..." wrapped to 78 columns, the
// text from column 23 (on the next line when the name is too long).
std::string optionHelpEntry(std::string_view names, std::string_view help);

// "{range}" of help replaced by "low to high".
std::string withRange(std::string_view help, std::int32_t low, std::int32_t high);

} // namespace lt
