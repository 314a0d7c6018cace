// Ten million lines of the one-counter list, timed against seq writing the
// same number of lines, in the same run and folder. Runs the generator both
// bare and through the window's button (label repaints included).
#include "bbs/BbsListGenerator.h"
#include "bbs/bbskit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kLines = 10'000'000;
const std::string kPrefix = "http://bbs.example.com/list-";

class Fields : public lt::BbsFieldSource {
public:
    const std::string& text(lt::BbsField f) const override
    {
        switch (f) {
        case lt::BbsField::Prefix: return prefix_;
        case lt::BbsField::Suffix: return suffix_;
        case lt::BbsField::Rate: return rate_;
        case lt::BbsField::Start: return start_;
        case lt::BbsField::End: return end_;
        default: return empty_;
        }
    }

private:
    std::string prefix_ = kPrefix, suffix_ = ".htm", rate_ = "1", start_ = "1",
                end_ = std::to_string(kLines), empty_;
};

template <typename F>
double seconds(F&& f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

long long sizeOf(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string dir = argc > 1 ? argv[1] : "/tmp";
    const std::string seqFile = dir + "/bbs-bench-seq.txt";
    const std::string coreFile = dir + "/bbs-bench-core.txt";
    const std::string formFile = dir + "/bbs-bench-form.txt";

    const std::string cmd = "seq -f '" + kPrefix + "%g.htm' 1 " + std::to_string(kLines) + " > " + seqFile;
    const double seqTime = seconds([&] {
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "seq failed\n");
    });

    // Each file goes as soon as it is measured, so that its dirty pages do
    // not slow the writing of the next one.
    const long long seqSize = sizeOf(seqFile);
    ::unlink(seqFile.c_str());

    Fields fields;
    int reports = 0;
    std::int64_t last = 0;
    const double coreTime = seconds([&] {
        lt::BbsListGenerator g(fields, [&](std::int64_t n) {
            ++reports;
            last = n;
        });
        g.writeOneCounterList(coreFile);
    });

    const long long coreSize = sizeOf(coreFile);
    ::unlink(coreFile.c_str());

    TbbsForm form;
    form.chooseFile = [&] { return std::optional<QString>(QString::fromStdString(formFile)); };
    form.Edit1->setText(QString::fromStdString(kPrefix));
    form.Edit4->setText(".htm");
    form.Edit2->setText("1");
    form.Edit3->setText(QString::number(kLines));
    form.show();
    const double formTime = seconds([&] { form.SpeedButton1->click(); });
    const long long formSize = sizeOf(formFile);
    ::unlink(formFile.c_str());

    std::printf("seq:            %.3f s  (%lld bytes)\n", seqTime, seqSize);
    std::printf("generator:      %.3f s  (%lld bytes, %d count reports, last %lld)  ratio %.2f\n", coreTime,
                coreSize, reports, static_cast<long long>(last), coreTime / seqTime);
    std::printf("window button:  %.3f s  (%lld bytes, label %s)  ratio %.2f\n", formTime, formSize,
                qPrintable(form.Label2->text()), formTime / seqTime);
    return 0;
}
