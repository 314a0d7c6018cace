// main() for tests that need a QApplication (widgets and the web engine).
#include "EngineArguments.h"
#include "search/engine/EngineStartup.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace lt::test {
std::vector<std::string>& engineArguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}
} // namespace lt::test

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Off screen unless the caller chose a display (a screenshot under Xvfb).
    const bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    lt::prepareWebEngine(chosen ? lt::EngineDisplay::Session : lt::EngineDisplay::Offscreen);
    std::vector<char*> arguments(argv, argv + argc);
    // The engine takes Chromium switches from the command line after this one.
    static char engineArgs[] = "--webEngineArgs";
    if (!lt::test::engineArguments().empty())
        arguments.push_back(engineArgs);
    for (std::string& a : lt::test::engineArguments())
        arguments.push_back(a.data());
    arguments.push_back(nullptr);
    int count = static_cast<int>(arguments.size()) - 1;
    QApplication app(count, arguments.data());
    return RUN_ALL_TESTS();
}
