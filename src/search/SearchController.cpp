#include "search/SearchController.h"

#include "base/Files.h"
#include "search/Interval.h"
#include "search/NetworkCheck.h"
#include "search/SearchMessages.h"
#include "search/StatusPanels.h"
#include "text/IntegerText.h"

#include <exception>

namespace lt {

namespace {
std::string lowerAsciiLetters(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

// The path lower-cased as the list's home platform would show it, when the
// lower-cased path still names the chosen file; otherwise the path as chosen,
// so a file in a folder that tells letter case apart stays reachable.
std::string displayedListPath(const std::string& chosen)
{
    std::string lower = lowerAsciiLetters(chosen);
    if (lower == chosen || sameFile(lower, chosen))
        return lower;
    return chosen;
}
} // namespace

SearchController::SearchController(SearchView& view, OptionsView& options, StepTimer& timer, ProgressFile files,
                                   FoundSet& found, SearchEnvironment env)
    : view_(view), options_(options), timer_(timer), files_(std::move(files)), found_(found), env_(std::move(env))
{
}

void SearchController::bindBrowserHost(BrowserHost* host)
{
    host_ = host;
    harvester_ = host ? std::make_unique<LinkHarvester>(*host, options_, view_, view_, found_, foundCount_, schemes_)
                      : nullptr;
}

void SearchController::setLinkSchemes(LinkSchemes schemes)
{
    schemes_ = schemes;
    bindBrowserHost(host_);
}

void SearchController::restoreAtStartup()
{
    files_.removeLeftovers();
    files_.loadFilterLists(options_);
    if (files_.progressFileExists())
        files_.loadProgress(options_, position_, total_);
}

void SearchController::setCommands(CommandState state)
{
    const bool idle = state == CommandState::Idle;
    view_.setCommandEnabled(SearchCommand::ChooseList, idle);
    view_.setCommandEnabled(SearchCommand::Start, idle);
    view_.setCommandEnabled(SearchCommand::Stop, !idle);
    view_.setCommandEnabled(SearchCommand::Continue, idle);
}

void SearchController::setPeriod()
{
    // An interval of 0 or less, possible while the spin field is being
    // edited, gives the shortest period the field allows.
    std::int32_t seconds = options_.interval();
    if (seconds < kIntervalMin)
        seconds = kIntervalMin;
    timer_.setPeriodMs(seconds * 1000);
}

bool SearchController::connected()
{
    return env_.networkCheck() != kLoopbackAddress;
}

void SearchController::endEarlierSearch()
{
    // A stopped search whose last step has not come yet, or one halted by an
    // error, still has its timer and reader: a new search replaces it.
    timer_.disarm();
    if (reader_.isOpen()) {
        try {
            reader_.close();
        } catch (...) {
        }
    }
}

void SearchController::readAddress(std::string& address)
{
    address = reader_.readAddress();
    ++position_;
    view_.setPanelText(kPanelPosition, intToStr(position_));
}

void SearchController::navigate(const std::string& address)
{
    try {
        host_->navigate(address);
    } catch (...) {
        // A navigation that fails is harvested on whatever the host shows.
    }
}

void SearchController::chooseList()
{
    auto chosen = view_.openFileDialog(files_.folder());
    view_.repaintNow();
    if (!chosen)
        return;
    options_.setAddressListPath(displayedListPath(*chosen));
    total_ = 0;
    long long counted = 0;
    try {
        countLines(options_.addressListPath(), &counted);
    } catch (...) {
        total_ = static_cast<std::int32_t>(counted);
        throw;
    }
    total_ = static_cast<std::int32_t>(counted);
    view_.setPanelText(kPanelTotal, intToStr(total_));
}

void SearchController::start()
{
    if (!fileExists(options_.addressListPath())) {
        view_.informationBox(msg::kNoListChosen);
        return;
    }
    if (!connected()) {
        view_.informationBox(msg::kNotConnected);
        return;
    }
    endEarlierSearch();
    stopFlag_ = false;
    position_ = 0;
    foundCount_ = 0;
    view_.clearResults();
    setCommands(CommandState::Searching);
    setPeriod();
    view_.setPanelText(kPanelTotal, intToStr(total_));
    view_.setPanelText(kPanelFound, intToStr(foundCount_));
    view_.setPanelText(kPanelMessage, msg::kCleaning);
    env_.pause(500);
    env_.cleanCache();
    view_.setPanelText(kPanelMessage, msg::kSearching);
    reader_.open(options_.addressListPath());
    try {
        firstStep();
    } catch (...) {
    }
}

void SearchController::firstStep()
{
    finishing_ = false;
    if (reader_.atEof() || stopFlag_) {
        finish();
        return;
    }
    std::string address;
    readAddress(address);
    waitCount_ = 0;
    if (host_) {
        host_->setTag(0);
        navigate(address);
    }
    timer_.arm();
}

void SearchController::step()
{
    if (!host_)
        return;
    timer_.disarm();
    setPeriod();
    if (host_->tag() == 0 && waitCount_ < kWaitLimit) {
        ++waitCount_;
        timer_.arm();
        return;
    }
    waitCount_ = 0;
    harvester_->harvest();
    if (reader_.atEof() || stopFlag_) {
        finish();
        return;
    }
    std::string address;
    readAddress(address);
    host_->setTag(0);
    navigate(address);
    timer_.arm();
}

void SearchController::finish()
{
    finishing_ = true;
    timer_.disarm();
    std::exception_ptr closeError;
    try {
        reader_.close();
    } catch (...) {
        closeError = std::current_exception();
    }
    files_.writeFilterLists(options_);
    files_.writeProgress(options_, position_, total_);
    view_.setPanelText(kPanelMessage, msg::kFinished);
    view_.repaintNow();
    setCommands(CommandState::Idle);
    if (onFinished_)
        onFinished_();
    if (closeError)
        std::rethrow_exception(closeError);
}

void SearchController::stop()
{
    stopFlag_ = true;
    view_.setPanelText(kPanelMessage, msg::kStopping);
    setCommands(CommandState::Idle);
}

void SearchController::continueSearch()
{
    if (!files_.progressFileExists()) {
        view_.plainMessageBox(msg::kNoSavedSearch);
        return;
    }
    files_.loadProgress(options_, position_, total_);
    if (!fileExists(options_.addressListPath())) {
        view_.informationBox(msg::kListMissing);
        return;
    }
    if (!connected()) {
        view_.informationBox(msg::kNotConnected);
        return;
    }
    endEarlierSearch();
    view_.setPanelText(kPanelTotal, intToStr(total_));
    view_.setPanelText(kPanelPosition, "");
    view_.setPanelText(kPanelFound, "");
    stopFlag_ = false;
    foundCount_ = 0;
    view_.clearResults();
    setCommands(CommandState::Searching);
    setPeriod();
    view_.setPanelText(kPanelMessage, msg::kStartingContinue);
    env_.pause(1000);

    auto entered = view_.inputDialog(msg::kBreakpointCaption, msg::kBreakpointPrompt, intToStr(position_));
    if (!entered) {
        view_.setPanelText(kPanelMessage, msg::kContinueCancelled);
        setCommands(CommandState::Idle);
        return;
    }
    position_ = strToInt(*entered);
    view_.repaintNow();

    reader_.open(options_.addressListPath());
    if (position_ < 1) {
        // Nothing to skip: the position must equal the lines consumed.
        position_ = 0;
    } else {
        std::int32_t consumed = 0;
        for (;;) {
            reader_.skipLine();
            ++consumed;
            if (consumed == position_ || reader_.atEof())
                break;
        }
    }
    if (reader_.atEof()) {
        view_.setPanelText(kPanelMessage, msg::kListUsedUp);
        setCommands(CommandState::Idle);
        reader_.close();
        return;
    }
    view_.setPanelText(kPanelFound, intToStr(foundCount_));
    view_.setPanelText(kPanelMessage, msg::kCleaning);
    env_.pause(500);
    env_.cleanCache();
    view_.setPanelText(kPanelMessage, msg::kContinuing);
    try {
        firstStep();
    } catch (...) {
    }
}

void SearchController::saveProgress()
{
    files_.writeProgress(options_, position_, total_);
    view_.plainMessageBox(msg::kProgressSaved);
}

void SearchController::pageComplete()
{
    if (host_)
        host_->setTag(kPageCompleteMark);
}

} // namespace lt
