// main() for tests that need a QApplication (widgets and the web engine).
#include "search/engine/EngineStartup.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Off screen unless the caller chose a display (a screenshot under Xvfb).
    const bool chosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    lt::prepareWebEngine(chosen ? lt::EngineDisplay::Session : lt::EngineDisplay::Offscreen);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
