#pragma once
#include "net/HttpHeader.h"
#include "net/ProxyChoice.h"
#include "search/LinkOutput.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lt {

// What the command line of linktrawl asks for.
struct HeadlessOptions {
    bool help = false;
    bool version = false;
    // The engine's and Qt's own log lines on standard error too.
    bool verbose = false;
    // "-" reads the addresses from standard input.
    std::string listFile;
    std::optional<std::int32_t> interval; // the window's default when absent
    bool ownSite = false;
    bool filter = false;
    bool https = false;
    // Replace the saved filter lists when given.
    std::optional<std::vector<std::string>> mustContain;
    std::optional<std::vector<std::string>> mustNotContain;
    // Resume the saved search after this line; kSavedPosition: after the
    // position it saved.
    std::optional<std::int32_t> continueAfter;
    std::string saveFile;
    OutputFormat format = OutputFormat::Text;
    // Pages in flight; without it the search steps as the window's does.
    std::optional<int> jobs;
    int settleMs = kDefaultSettleMs;
    // With --jobs: pages fetch images, fonts and media too.
    bool images = false;
    // Links of frames of the page's own origin and of open shadow roots too.
    bool deep = false;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    // With --jobs: how a run treats the sites it loads from.
    std::optional<int> perSite;
    int delayMs = 0;
    int retries = kDefaultRetries;
    // Certificates the engine does not trust are accepted (curl -k).
    bool insecure = false;
    // Folder of the progress and filter files and of the engine's profile.
    std::string stateDir;
    // How often the position is saved while the run goes.
    int checkpointSeconds = kDefaultCheckpointSeconds;
    // --proxy; without it the proxy variables count.
    std::optional<ProxyChoice> proxy;
    std::string cookieFile;
    std::string userAgent; // the engine's own when empty
    std::vector<HttpHeader> headers;

    static constexpr int kMaxJobs = 32;
    // Long enough for links that scripts add within 200 ms of the load.
    static constexpr int kDefaultSettleMs = 250;
    static constexpr int kDefaultTimeoutSeconds = 30;
    static constexpr int kDefaultCheckpointSeconds = 30;
    static constexpr int kDefaultRetries = 2;
    static constexpr int kMaxRetries = 10;
    static constexpr std::int32_t kSavedPosition = -1;

    bool readsStandardInput() const { return listFile == "-"; }
};

// The address list of a run on standard input, as the progress file keeps
// it: a continued run reads the same lines from standard input again.
inline constexpr const char* kStandardInputPath = "/dev/stdin";

// Raises lt::Error with a message for the user on a bad command line.
HeadlessOptions parseHeadlessOptions(const std::vector<std::string>& args);

std::string headlessHelpText();

// "linktrawl VERSION", the project's version, with a line end.
std::string headlessVersionText();

} // namespace lt
