#pragma once
#include "app/Unit1.h"
#include "support/TempDir.h"
#include "ui/Boxes.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace lt::test {

// A main window on a fresh program folder, its boxes answered by the test:
// "确定" to every box, and "(&N)否" to the confirmation unless answerYes.
struct Window : ::testing::Test {
    TempDir dir;
    std::vector<lt::BoxRequest> boxes;
    bool answerYes = false;

    void SetUp() override
    {
        lt::setBoxHook([this](const lt::BoxRequest& r) {
            boxes.push_back(r);
            lt::BoxAnswer a;
            a.accepted = r.kind != lt::BoxKind::Confirmation || answerYes;
            return a;
        });
    }
    void TearDown() override { lt::setBoxHook({}); }

    std::unique_ptr<TForm1> make()
    {
        TForm1::Services s;
        s.cleanCache = [] {};
        s.networkCheck = [] { return std::string("192.0.2.1"); };
        s.pause = [](int) {};
        s.programFolder = dir.path();
        return std::make_unique<TForm1>(s);
    }
    static QString panel(TForm1& f, int i) { return f.controls().StatusBar1[static_cast<std::size_t>(i)]->text(); }
};

} // namespace lt::test
