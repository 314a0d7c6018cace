#include "search/engine/EngineStartup.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <unistd.h>

namespace lt {

void prepareWebEngine(EngineDisplay display)
{
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (display == EngineDisplay::Offscreen)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The engine shares GL contexts with the widgets that show it.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

} // namespace lt
