#pragma once
#include <QDeadlineTimer>
#include <QStringList>

class QWebEngineProfile;

namespace lt {

// Removes the service worker registrations of a profile and the Cache
// Storage of their origins (and of the origins given), leaving cookies and
// everything else. Qt has no call for this; the engine's DevTools protocol
// does it (Storage.clearDataForOrigin), spoken through an in-process DevTools
// frontend that inspects a blank page of the profile, never a page that
// shows a site: an attached inspector would stop that page's scripts at
// their breakpoints. The frontend runs in a profile of its own that keeps
// nothing, and the protocol session is new on every run, since the engine
// lists the registrations only once per session.
//
// Costs about a quarter of a second for the frontend plus some 25 ms per
// origin, and ends at the deadline whatever is left.
class ServiceWorkerSweep {
public:
    ServiceWorkerSweep(QWebEngineProfile& profile, QStringList extraOrigins);

    // False when the frontend or the protocol did not answer in time.
    bool run(QDeadlineTimer deadline);

    // Origins whose data the engine has cleared.
    const QStringList& clearedOrigins() const { return cleared_; }

private:
    QWebEngineProfile& profile_;
    QStringList extraOrigins_;
    QStringList cleared_;
};

} // namespace lt
