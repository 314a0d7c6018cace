#pragma once
// linktrawl end to end: the built command, copied into a folder of its own
// (its program folder), run as its users run it on pages of a test server.
#include "HttpTestServer.h"
#include "TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace lt::test {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class CommandFixture : public ::testing::Test {
protected:
    TempDir dir;
    HttpTestServer server;
    std::string program = dir.file("linktrawl");
    // Set for the command besides environment()'s own.
    std::vector<std::pair<QString, QString>> extraEnvironment;

    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(LINKTRAWL_PATH), QString::fromStdString(program)));
    }

    // The command's environment: no display, no proxy, and its data (the
    // engine's profile when no state folder is given) inside the test's
    // folder.
    QProcessEnvironment environment() const
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", QString::fromStdString(dir.file("data")));
        env.remove("QT_QPA_PLATFORM");
        env.remove("DISPLAY");
        for (const char* proxy : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY",
                                  "no_proxy", "NO_PROXY"})
            env.remove(proxy);
        for (const auto& [name, value] : extraEnvironment)
            env.insert(name, value);
        return env;
    }

    void start(QProcess& p, const QStringList& args, const QString& executable = {})
    {
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(QString::fromStdString(dir.path()));
        p.start(executable.isEmpty() ? QString::fromStdString(program) : executable, args);
        ASSERT_TRUE(p.waitForStarted());
    }

    Outcome finish(QProcess& p, int ms = 60000)
    {
        Outcome r;
        if (!p.waitForFinished(ms)) {
            p.kill();
            p.waitForFinished();
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }

    Outcome run(const QStringList& args)
    {
        QProcess p;
        start(p, args);
        return finish(p);
    }

    // Standard output of a run that must end with status 0.
    std::string outputOf(const QStringList& args)
    {
        Outcome r = run(args);
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << "\n" << r.err;
        return r.out;
    }

    // Waits until the process has written a whole line on standard output;
    // the line stays there for finish() to read.
    static bool waitForLine(QProcess& p, int ms = 30000)
    {
        QElapsedTimer t;
        t.start();
        while (!p.canReadLine() && p.state() == QProcess::Running && t.elapsed() < ms)
            p.waitForReadyRead(100);
        return p.canReadLine();
    }

    // The text output of links: paths on the server, or whole addresses.
    std::string links(std::initializer_list<std::string> paths) const
    {
        std::string s;
        for (auto& path : paths)
            s += (path.rfind("http", 0) == 0 ? path : server.url(path)) + "\n";
        return s;
    }
};

} // namespace lt::test
