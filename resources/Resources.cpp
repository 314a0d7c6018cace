#include "resources/Resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE declares its function where it is used, so it must be
// used outside any namespace.
static void registerLinktrawlerResources()
{
    Q_INIT_RESOURCE(linktrawler);
}

namespace lt {

void initResources()
{
    static const bool once = (registerLinktrawlerResources(), true);
    (void)once;
}

} // namespace lt
