#pragma once
#include "base/Error.h"
#include "search/BrowserHost.h"
#include "search/MemoryOptions.h"
#include "search/SearchView.h"
#include "search/StepTimer.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lt::test {

// A browser whose pages complete only when the test says so.
class FakeHost : public BrowserHost {
public:
    struct Page {
        std::vector<std::string> links;
        std::string location; // defaults to the address
        bool completes = true;
        bool noLinks = false; // document without a links collection
    };
    std::map<std::string, Page> pages;
    std::vector<std::string> navigations;
    std::string location;
    std::vector<std::string> shown;
    bool shownNoLinks = false;
    int failLinkAt = -1;
    bool failNavigate = false;

    void navigate(const std::string& address) override
    {
        navigations.push_back(address);
        if (failNavigate)
            throw Error("navigate failed");
        auto it = pages.find(address);
        if (it == pages.end()) {
            // An unknown address shows an empty page that completes.
            location = address;
            shown.clear();
            shownNoLinks = false;
            complete();
            return;
        }
        location = it->second.location.empty() ? address : it->second.location;
        shown = it->second.links;
        shownNoLinks = it->second.noLinks;
        if (it->second.completes)
            complete();
    }
    void complete() { notifyComplete(); }
    std::string locationUrl() override { return location; }
    std::int32_t linkCount() override
    {
        if (shownNoLinks)
            throw Error("Method 'links' not supported by automation object");
        return static_cast<std::int32_t>(shown.size());
    }
    std::string linkText(std::int32_t i) override
    {
        if (i == failLinkAt)
            throw Error("Invalid variant type conversion");
        return shown.at(static_cast<std::size_t>(i));
    }
};

class ManualTimer : public StepTimer {
public:
    int period = 0;
    bool armed = false;
    int arms = 0;
    void setPeriodMs(int ms) override { period = ms; }
    void arm() override
    {
        armed = true;
        ++arms;
    }
    void disarm() override { armed = false; }
    bool isArmed() const override { return armed; }
};

// Records what the controller shows; answers dialogs from queues.
class FakeView : public SearchView, public MemoryOptions {
public:
    // What the interval field reads while the user is typing in it.
    std::optional<std::int32_t> typedInterval;
    std::vector<std::string> results;
    std::string panels[7];
    std::map<SearchCommand, bool> enabled = {{SearchCommand::ChooseList, true},
                                             {SearchCommand::Start, true},
                                             {SearchCommand::Stop, true},
                                             {SearchCommand::Continue, true}};
    std::vector<std::string> boxes; // "info:...", "plain:..."
    std::deque<std::optional<std::string>> inputAnswers;
    std::vector<std::string> inputPrompts;
    std::deque<std::optional<std::string>> fileAnswers;
    std::string dialogFolder;
    int visibleCalls = 0;

    std::int32_t interval() const override { return typedInterval ? *typedInterval : MemoryOptions::interval(); }

    int appendItem(const std::string& c) override
    {
        results.push_back(c);
        return static_cast<int>(results.size()) - 1;
    }
    void makeVisible(int) override { ++visibleCalls; }
    void clearResults() override { results.clear(); }
    void setPanelText(int p, const std::string& t) override { panels[p] = t; }

    void setCommandEnabled(SearchCommand c, bool e) override { enabled[c] = e; }
    void repaintNow() override {}
    void informationBox(const std::string& t) override { boxes.push_back("info:" + t); }
    void plainMessageBox(const std::string& t) override { boxes.push_back("plain:" + t); }
    std::optional<std::string> inputDialog(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) override
    {
        inputPrompts.push_back(caption + "|" + prompt + "|" + initial);
        auto a = inputAnswers.empty() ? std::nullopt : inputAnswers.front();
        if (!inputAnswers.empty())
            inputAnswers.pop_front();
        return a;
    }
    std::optional<std::string> openFileDialog(const std::string& folder) override
    {
        dialogFolder = folder;
        auto a = fileAnswers.empty() ? std::nullopt : fileAnswers.front();
        if (!fileAnswers.empty())
            fileAnswers.pop_front();
        return a;
    }

    // "1101": ChooseList, Start, Stop, Continue.
    std::string commands() const
    {
        std::string s;
        for (auto c : {SearchCommand::ChooseList, SearchCommand::Start, SearchCommand::Stop, SearchCommand::Continue})
            s += enabled.at(c) ? '1' : '0';
        return s;
    }
};

} // namespace lt::test
