#include "bbs/BbsListGenerator.h"

#include "text/IntegerText.h"
#include "text/LineWriter.h"

namespace lt {

// Shows the running count far less often than once per line (a repaint per
// line would cost more than the writing) and, at the end, the lines that
// reached the file.
class BbsListGenerator::CountReporter {
public:
    explicit CountReporter(const BbsListGenerator& owner) : owner_(owner) {}

    void lineHanded()
    {
        ++count_;
        // The clock is asked only every 256 lines; that is still well under
        // a millisecond apart.
        if (count_ == 1)
            show();
        else if ((count_ & 0xFF) == 0 && now() - shownAt_ >= kCountPeriod)
            show();
    }

    // Lines still buffered when a write failed never reach the file: the
    // count shown last is what the file holds.
    void finish(std::int64_t written)
    {
        count_ = written;
        if (count_ != shown_)
            show();
    }

private:
    std::chrono::steady_clock::time_point now() const
    {
        return owner_.clock_ ? owner_.clock_() : std::chrono::steady_clock::now();
    }

    void show()
    {
        shown_ = count_;
        if (owner_.showCount_)
            owner_.showCount_(count_);
        shownAt_ = now();
    }

    const BbsListGenerator& owner_;
    std::int64_t count_ = 0;
    std::int64_t shown_ = 0;
    std::chrono::steady_clock::time_point shownAt_{};
};

BbsListGenerator::BbsListGenerator(const BbsFieldSource& fields, CountSink showCount, Clock clock)
    : fields_(fields), showCount_(std::move(showCount)), clock_(std::move(clock))
{
}

void BbsListGenerator::generate(LineWriter& out, const std::function<void(CountReporter&)>& writeLines)
{
    CountReporter count(*this);
    try {
        writeLines(count);
        out.close();
    } catch (...) {
        // The lines written before a bad field stay in the file; after a
        // write error there is nothing left to write.
        try {
            out.close();
        } catch (...) {
        }
        count.finish(out.linesWritten());
        throw;
    }
    count.finish(out.linesWritten());
}

void BbsListGenerator::writeOneCounterList(const std::string& path)
{
    LineWriter out(path);
    const std::int32_t start = strToInt(fields_.text(BbsField::Start));
    const std::int32_t end = strToInt(fields_.text(BbsField::End));

    generate(out, [&](CountReporter& count) {
        std::string line;
        // 64-bit so that an end of 2147483647 does not wrap the loop.
        for (std::int64_t i = start; i <= end; ++i) {
            const std::string& prefix = fields_.text(BbsField::Prefix);
            const std::int32_t rate = strToInt(fields_.text(BbsField::Rate));
            const std::string& suffix = fields_.text(BbsField::Suffix);
            const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(rate) *
                                                           static_cast<std::uint32_t>(i));
            line.assign(prefix);
            appendInt(line, product);
            line.append(suffix);
            out.writeLine(line);
            count.lineHanded();
        }
    });
}

void BbsListGenerator::writeTwoCounterList(const std::string& path)
{
    const std::int32_t second = strToInt(fields_.text(BbsField::SecondStart));
    LineWriter out(path);
    const std::int32_t start = strToInt(fields_.text(BbsField::FirstStart));
    const std::int32_t end = strToInt(fields_.text(BbsField::FirstEnd));

    generate(out, [&](CountReporter& count) {
        std::string line;
        auto j = static_cast<std::uint32_t>(second); // wraps like the 32-bit counter it is
        for (std::int64_t i = start; i <= end; ++i) {
            const std::string& front = fields_.text(BbsField::Front);
            const std::string& middle = fields_.text(BbsField::Middle);
            const std::string& back = fields_.text(BbsField::Back);
            line.assign(front);
            appendInt(line, static_cast<std::int32_t>(i));
            line.append(middle);
            appendInt(line, static_cast<std::int32_t>(j));
            line.append(back);
            out.writeLine(line);
            ++j;
            count.lineHanded();
        }
    });
}

} // namespace lt
