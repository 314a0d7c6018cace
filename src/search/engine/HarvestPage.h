#pragma once
#include <QWebEnginePage>

namespace lt {

// A page whose own behaviour can neither stall nor endanger a search: script
// dialogs are answered at once without showing anything (confirm() with no,
// prompt() as cancelled, "leave this page?" with yes), new windows, file
// choosers, permissions, client certificates and certificate errors are all
// refused (the last unless the run accepts untrusted certificates), and
// console output is dropped.
class HarvestPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit HarvestPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // Dialogs and windows the page asked for and did not get (for tests).
    int refusedRequests() const { return refused_; }
    // As curl -k: a certificate the engine does not trust is taken.
    void setAcceptsUntrustedCertificates(bool accept) { acceptsUntrusted_ = accept; }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& msg, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;

private:
    int refused_ = 0;
    bool acceptsUntrusted_ = false;
};

} // namespace lt
