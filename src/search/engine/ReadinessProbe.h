#pragma once
#include "search/PageReadiness.h"

#include <functional>
#include <optional>

class QVariant;
class QWebEnginePage;

namespace lt {

// How a pool page is watched while it loads: a script in the page's own
// world notes each fetch() and XMLHttpRequest as it goes out and as it
// answers (as performance marks, the one record both worlds share), and one
// in the isolated world notes the scripts the document loads, its
// DOMContentLoaded and every change of its links. A probe reads both.

// Puts both scripts on the page, for every document it will show; with
// frames, in its frames' documents too.
void installReadinessWatch(QWebEnginePage& page, bool frames);

enum class ProbeDocument {
    Earlier,   // still the document shown before the load
    Unwatched, // a document of its own, without the watch (an engine page)
    Watched,   // a document of its own: the probe holds its state
};

struct ProbeAnswer {
    ProbeDocument document = ProbeDocument::Earlier;
    PageProbe probe;
};

// Starts the probe; answer gets its result on the page's thread, later,
// unless the renderer never answers. With frames, the frames of the
// document's origin hold the page as its document does (the watch must
// have been installed with frames).
void requestProbe(QWebEnginePage& page, bool frames, std::function<void(const ProbeAnswer&)> answer);

// The probe in a script answer (Earlier when it makes no sense).
ProbeAnswer probeFromAnswer(const QVariant& answer);

} // namespace lt
