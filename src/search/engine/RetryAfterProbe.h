#pragma once
#include <functional>
#include <optional>
#include <string>

class QWebEnginePage;

namespace lt {

// The engine does not show a document's response headers, so the
// Retry-After of an HTTP error page is asked for again: a HEAD request from
// the isolated world to the page's own address, which, being of the
// document's own origin, may read every header of the answer.

// Sends the request; its answer is kept on the document.
void askRetryAfter(QWebEnginePage& page);
// Reads the kept answer: nothing while it has not come, "" when the answer
// had no Retry-After (or did not come), the header's value otherwise.
void readRetryAfter(QWebEnginePage& page, std::function<void(std::optional<std::string>)> answer);

} // namespace lt
