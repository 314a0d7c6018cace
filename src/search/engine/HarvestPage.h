#pragma once
#include "search/engine/PageLinks.h"

#include <QWebEnginePage>

namespace lt {

class EngineProfile;

// A page whose own behaviour can neither stall nor endanger a search: script
// dialogs are answered at once without showing anything (confirm() with no,
// prompt() as cancelled, "leave this page?" with yes), new windows, file
// choosers, permissions, client certificates and certificate errors are all
// refused (certificate errors unless the run accepts untrusted
// certificates), and console output is dropped. A proxy that asks for a
// login gets the profile's, once per load; other login questions are
// cancelled, and the refusal the server then shows is no document of the
// page's.
class HarvestPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit HarvestPage(EngineProfile& profile, QObject* parent = nullptr);

    // Dialogs and windows the page asked for and did not get (for tests).
    int refusedRequests() const { return refused_; }

    // The snapshot in a script answer (snapshotFromAnswer), without a
    // document when this load's own login question was cancelled.
    PageSnapshot snapshotOf(const QVariant& answer, const SnapshotOptions& options = {}) const;

protected:
    void javaScriptAlert(const QUrl& origin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

private:
    // A login question about url is cancelled.
    void loginCancelled(const QUrl& url);

    EngineProfile& profile_;
    int refused_ = 0;
    // Where the page's own document comes from, redirects followed.
    QUrl documentUrl_;
    bool documentRefused_ = false;
    // The proxy has had the login during this load: a second question is
    // its refusal, not to be answered again and again.
    bool proxyAnswered_ = false;
};

} // namespace lt
