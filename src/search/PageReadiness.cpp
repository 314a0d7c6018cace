#include "search/PageReadiness.h"

namespace lt {

bool PageReadiness::ready(const PageProbe& probe)
{
    // An answer within the hold shows the address serves data, not a long poll.
    for (const PageProbe::Answered& a : probe.answered) {
        if (a.tookMs < holdMs_) {
            changes_ += longOpen_.erase(a.address);
            answering_.insert(a.address);
        }
    }
    bool held = false;
    for (const PageProbe::Open& o : probe.open) {
        if (o.ageMs >= holdMs_) {
            if (!o.script && !answering_.count(o.address))
                changes_ += longOpen_.insert(o.address).second ? 1 : 0;
            continue;
        }
        if (!o.script && longOpen_.count(o.address))
            continue;
        held = true;
    }
    return probe.parsed && !held && probe.quietMs >= settleMs_;
}

} // namespace lt
