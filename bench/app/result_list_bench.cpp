// Appending 100,000 links to the main window's result list, each with its
// scroll-into-view, as a harvest does, until the list shows them all.
#include "app/MainWindowView.h"
#include "app/ResultListModel.h"
#include "app/Unit1.h"
#include "search/engine/EngineStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeView>
#include <cstdio>

int main(int argc, char** argv)
{
    lt::prepareWebEngine(lt::EngineDisplay::Offscreen);
    QApplication app(argc, argv);
    char folder[] = "/tmp/lt-list-bench-XXXXXX";
    TForm1::Services s;
    s.programFolder = std::string(::mkdtemp(folder)) + "/";
    s.networkCheck = [] { return std::string("192.0.2.1"); };
    s.pause = [](int) {};
    TForm1 form(s);
    form.show();
    QCoreApplication::processEvents();

    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::vector<std::string> links;
    for (int i = 0; i < n; ++i)
        links.push_back("http://www.example.com/forum/thread-" + std::to_string(i) + "-1-1.html");

    QElapsedTimer t;
    t.start();
    lt::SearchView& view = form.view();
    for (const auto& link : links) {
        int item = view.appendItem(link);
        view.makeVisible(item);
    }
    const qint64 appended = t.elapsed();
    while (form.controls().ListView1->model()->rowCount() < n)
        QCoreApplication::processEvents();
    form.repaint();
    QCoreApplication::processEvents();
    std::printf("%d links: appended in %lld ms, shown and scrolled in %lld ms\n", n,
                static_cast<long long>(appended), static_cast<long long>(t.elapsed()));
    return 0;
}
