// The program's entry: the application, its four windows in their order, the
// browser host on the main window's browser pane, and the message loop.
#include "app/Unit1.h"
#include "app/about/Unit4.h"
#include "bbs/bbskit.h"
#include "cache/DelIECache.h"
#include "cache/WebEngineDataStore.h"
#include "search/NetworkCheck.h"
#include "search/ProgramFolder.h"
#include "search/engine/EngineProfile.h"
#include "search/engine/EngineStartup.h"
#include "search/engine/HarvestPage.h"
#include "search/engine/WebEngineBrowserHost.h"
#include "ui/QtTranslations.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QPointer>
#include <QThread>

int main(int argc, char** argv)
{
    lt::prepareWebEngine();
    // On Linux the system's proxy settings are the proxy variables, read as
    // linktrawl reads them; the engine alone would miss their logins and,
    // on some desktops, the variables themselves.
    const std::vector<std::string> arguments(argv, argv + argc);
    const lt::ProxyChoice proxy = lt::sessionProxy(arguments);
    lt::EngineCommandLine commandLine(arguments, lt::proxySwitches(proxy));
    QApplication app(commandLine.argc(), commandLine.argv());
    QApplication::setApplicationName(QStringLiteral("linktrawler"));
    QApplication::setWindowIcon(lt::programIcon());
    lt::installChineseQtTexts();

    // Pages are destroyed with the windows; the profile outlives them.
    lt::EngineProfile profile;
    profile.setProxyLogins(proxy.logins);
    lt::WebEngineDataStore store(profile.profile());
    QPointer<Tdelform> cleaner;

    TForm1::Services services;
    services.programFolder = lt::programFolder();
    services.networkCheck = [] { return lt::networkPresenceCheck(); };
    services.pause = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    services.cleanCache = [&cleaner] {
        if (cleaner)
            cleaner->clean();
    };

    TForm1 form1(services);
    TForm2 form2;
    TbbsForm bbsForm;
    Tdelform delform(store);
    cleaner = &delform;

    lt::WebEngineBrowserHost host(*form1.webBrowser(), profile);
    store.addPage(host.page());
    form1.bindBrowserHost(&host);
    form1.setAuxiliaryWindows(&form2, &bbsForm);

    form1.show();
    int rc = app.exec();
    form1.bindBrowserHost(nullptr);
    return rc;
}
