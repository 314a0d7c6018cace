// Time of the link snapshot (one isolated-world script run and the
// conversion of its answer) on a page of 100,000 links, and of reading them
// all back as the harvest does. Run by hand:
// snapshot_bench [links] [runs] [texts] [deep], texts and deep reading what
// --format jsonl and --deep read too.
#include "search/engine/EngineProfile.h"
#include "search/engine/EngineStartup.h"
#include "search/engine/WebEngineBrowserHost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

int main(int argc, char** argv)
{
    const int links = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    lt::SnapshotOptions options;
    for (int i = 3; i < argc; ++i) {
        options.anchorTexts = options.anchorTexts || std::strcmp(argv[i], "texts") == 0;
        options.deep = options.deep || std::strcmp(argv[i], "deep") == 0;
    }
    lt::prepareWebEngine(lt::EngineDisplay::Offscreen);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QTemporaryDir dir;
    const QString pagePath = dir.filePath("links.html");
    {
        std::ofstream out(pagePath.toStdString());
        out << "<html><body>";
        for (int i = 0; i < links; ++i)
            out << "<a href=\"http://bench.example.com/p" << i << ".html\">" << i << "</a>\n";
        out << "</body></html>";
    }
    int code = 0;
    {
        lt::EngineProfile profile(dir.filePath("engine"));
        lt::WebEngineBrowserHost host(profile);
        host.setSnapshotOptions(options);
        QEventLoop loop;
        host.setCompletionHandler([&] { loop.quit(); });
        host.navigate(QUrl::fromLocalFile(pagePath).toString().toStdString());
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
        for (int r = 0; r < runs; ++r) {
            QElapsedTimer t;
            t.start();
            const std::int32_t n = host.linkCount();
            const qint64 snapshotMs = t.elapsed();
            std::size_t bytes = 0;
            for (std::int32_t i = 0; i < n; ++i)
                bytes += host.linkText(i).size();
            std::printf("run %d: %d links, snapshot %lld ms, snapshot and reading all %lld ms (%zu bytes)\n", r + 1,
                        n, static_cast<long long>(snapshotMs), static_cast<long long>(t.elapsed()), bytes);
            if (n != links)
                code = 1;
        }
    }
    return code;
}
