#include "cache/BrowserDataCleaner.h"

namespace lt {

void BrowserDataCleaner::clean() noexcept
{
    try {
        store_.clearHistory();
        store_.deleteCacheEntries();
    } catch (...) {
        // The search goes on whatever could not be cleared.
    }
    try {
        store_.deleteServiceWorkers();
    } catch (...) {
    }
}

} // namespace lt
