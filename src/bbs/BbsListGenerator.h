#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace lt {

class LineWriter;

// The text fields of the generator window that the generators read.
enum class BbsField {
    // One-counter generator.
    Prefix,
    Start,
    End,
    Suffix,
    Rate,
    // Two-counter generator.
    Front,
    FirstStart,
    FirstEnd,
    Middle,
    SecondStart,
    Back,
};

// Supplies the fields' current texts (UTF-8, exactly as typed). Per-line
// fields are asked for on every line, so this must be cheap.
class BbsFieldSource {
public:
    virtual ~BbsFieldSource() = default;
    virtual const std::string& text(BbsField field) const = 0;
};

// Writes numbered forum page addresses into a text file, one per line, each
// ended by CR LF. Integer fields go through the strict conversion; a field
// that does not convert ends the generation with the conversion error, the
// file closed and holding the lines written so far. A write error ends it
// with the runtime's file error.
class BbsListGenerator {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Receives the running line count. Called on the first line, then when
    // kCountPeriod has passed since the last call, and at the end, however
    // the generation ends, with the lines that reached the file when that
    // differs from the count shown last.
    using CountSink = std::function<void(std::int64_t count)>;

    static constexpr std::chrono::milliseconds kCountPeriod{40};

    BbsListGenerator(const BbsFieldSource& fields, CountSink showCount, Clock clock = {});

    // Prefix, rate × i (32-bit, wrapping), suffix for i from start to end.
    void writeOneCounterList(const std::string& path);

    // Front, i, middle, j, back for i from the first counter's start to its
    // end; j starts at the second counter's start and advances with i. The
    // second counter's start is converted before the file is touched.
    void writeTwoCounterList(const std::string& path);

private:
    class CountReporter;
    // Runs writeLines and closes out; the count shown at the end is what out
    // wrote.
    void generate(LineWriter& out, const std::function<void(CountReporter&)>& writeLines);

    const BbsFieldSource& fields_;
    CountSink showCount_;
    Clock clock_;
};

} // namespace lt
