#pragma once
#include <QString>
#include <QUrl>
#include <functional>
#include <string>
#include <vector>

class QVariant;
class QWebEnginePage;

namespace lt {

// How every search reads a page on the engine: the address it loads for a
// line, the location it reports, and the links of the document, taken in one
// script run in an isolated world so the page's own scripts cannot change
// what the harvest sees.

// The URL loaded for an address of the list, read as a browser's address
// bar reads it: an address without a scheme is a web address ("http://"
// added) or, starting with "/", a local file. An address that makes no valid
// URL, or one longer than the engine loads (kLongestAddress, encoded),
// loads an empty page, so nothing of the page before is read again.
QUrl urlForAddress(const std::string& address);

// Marks the document the page shows now, just before a navigation: the
// snapshot after it can then tell whether the navigation showed a document
// of its own. A download, an HTTP 204, a PDF, a failed connection or an
// address the engine does not load (mailto:) leave the marked one in place.
void markShownDocument(QWebEnginePage& page);

// What a snapshot reads besides the addresses of the document's links.
struct SnapshotOptions {
    // The visible text of each link.
    bool anchorTexts = false;
    // Also the links of frames of the document's own origin and of open
    // shadow roots, at any depth, each where its frame or host element
    // stands in the document.
    bool deep = false;
};

// What a search reads of a page: its location and its links.
// Both in the form a browser's address bar shows (AddressForm.h).
struct PageSnapshot {
    // Address of the document shown, as the harvest reads it; empty when the
    // navigation since the mark showed no document of its own.
    std::string location;
    std::vector<std::string> links;
    // With SnapshotOptions::anchorTexts, one per link: its innerText (its
    // textContent when it is not rendered), every run of blanks made one
    // space, trimmed, at most kAnchorTextLength characters.
    std::vector<std::string> anchorTexts;
};

inline constexpr int kAnchorTextLength = 200;

// Start the script that reads the location alone, or the location and the
// links; answer gets its result on the page's thread, later, unless the
// renderer never answers.
void requestLocation(QWebEnginePage& page, std::function<void(const QVariant&)> answer);
void requestSnapshot(QWebEnginePage& page, std::function<void(const QVariant&)> answer);
void requestSnapshot(QWebEnginePage& page, const SnapshotOptions& options,
                     std::function<void(const QVariant&)> answer);

// The snapshot in a script answer to a request with options. A page that
// showed no document of its own has an empty location and no links. Raises
// lt::Error when the document has no links collection or did not answer.
PageSnapshot snapshotFromAnswer(const QVariant& answer, const SnapshotOptions& options = {});

// How long a search waits for a page's links: long enough for a page of a
// million links on a busy machine, and still bounded.
inline constexpr int kLinkWaitMs = 60000;

// Why a page's links could not be read, as every search reports it.
inline constexpr const char* kRendererEnded = "The page's renderer has ended; its links cannot be read";
// The page's script did not answer within waitMs.
std::string noAnswerWithin(int waitMs);

} // namespace lt
