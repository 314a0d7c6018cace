#pragma once
#include "search/engine/EngineProfile.h"
#include "search/engine/WebEngineBrowserHost.h"
#include "TempDir.h"

#include <QString>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace lt::test {

// One engine profile for the whole test process, in a folder of its own,
// made and released while the application object lives.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        dir_ = std::make_unique<TempDir>();
        profile_ = std::make_unique<EngineProfile>(QString::fromStdString(dir_->path() + "engine"));
    }
    void TearDown() override
    {
        profile_.reset();
        dir_.reset();
    }
    static EngineProfile& profile() { return *instance->profile_; }
    static EngineEnvironment* instance;

private:
    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<EngineProfile> profile_;
};

// A host on a page of its own that counts its completions.
struct CountingHost {
    WebEngineBrowserHost host{EngineEnvironment::profile()};
    int completions = 0;
    CountingHost()
    {
        host.setCompletionHandler([this] {
            ++completions;
            host.setTag(9);
        });
    }
    // Navigates and waits for the completion of that navigation.
    bool load(const std::string& address, int ms = 10000)
    {
        int before = completions;
        host.setTag(0);
        host.navigate(address);
        return QTest::qWaitFor([&] { return completions > before; }, ms);
    }
};

} // namespace lt::test
