#include "search/engine/HarvestPage.h"

#include "search/engine/EngineProfile.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>

namespace lt {

HarvestPage::HarvestPage(EngineProfile& profile, QObject* parent)
    : QWebEnginePage(profile.profile(), parent), profile_(profile)
{
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    // A failed connection leaves the page before in place instead of the
    // engine's own error page, which has links of its own.
    settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    settings()->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings()->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);

    connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl& origin, Feature feature) {
        ++refused_;
        setFeaturePermission(origin, feature, PermissionDeniedByUser);
    });
    connect(this, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError& error) {
        QWebEngineCertificateError answer = error;
        if (profile_.acceptsUntrustedCertificates() && answer.isOverridable()) {
            answer.acceptCertificate();
            return;
        }
        ++refused_;
        answer.rejectCertificate();
    });
    connect(this, &QWebEnginePage::selectClientCertificate, this,
            [this](QWebEngineClientCertificateSelection selection) {
                ++refused_;
                selection.selectNone();
            });
    connect(this, &QWebEnginePage::fullScreenRequested, this, [this](QWebEngineFullScreenRequest request) {
        ++refused_;
        request.reject();
    });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [this](QWebEngineFileSystemAccessRequest request) {
                ++refused_;
                request.reject();
            });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [this](QWebEngineRegisterProtocolHandlerRequest request) {
                ++refused_;
                request.reject();
            });
    connect(this, &QWebEnginePage::loadStarted, this, [this] {
        proxyAnswered_ = false;
        documentRefused_ = false;
    });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator, const QString& proxyHost) {
                const ProxyLogin* login = profile_.proxyLoginFor(proxyHost);
                if (!login || proxyAnswered_) {
                    // An authenticator left as it is would send an empty
                    // login, be refused and asked again, without end.
                    *authenticator = QAuthenticator();
                    loginCancelled(url);
                    profile_.proxyRefused(proxyHost, login != nullptr);
                    return;
                }
                proxyAnswered_ = true;
                authenticator->setUser(QString::fromStdString(login->user));
                authenticator->setPassword(QString::fromStdString(login->password));
            });
    // A search has no one to type a password.
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) {
                *authenticator = QAuthenticator();
                loginCancelled(url);
            });
}

void HarvestPage::loginCancelled(const QUrl& url)
{
    ++refused_;
    // An image's or a script's question leaves the document as it is.
    if (url.adjusted(QUrl::RemoveFragment) == documentUrl_)
        documentRefused_ = true;
}

PageSnapshot HarvestPage::snapshotOf(const QVariant& answer, const SnapshotOptions& options) const
{
    PageSnapshot snapshot = snapshotFromAnswer(answer, options);
    if (documentRefused_)
        return {};
    return snapshot;
}

bool HarvestPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (isMainFrame)
        documentUrl_ = url.adjusted(QUrl::RemoveFragment);
    return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
}

void HarvestPage::javaScriptAlert(const QUrl&, const QString&)
{
    ++refused_;
}

bool HarvestPage::javaScriptConfirm(const QUrl&, const QString& msg)
{
    ++refused_;
    // The engine asks a page's "leave this page?" question (beforeunload)
    // through here with its own text: the answer is yes, or the page would
    // hold every later navigation of the search. A page's own confirm()
    // gets no.
    static const QString leavePage = QCoreApplication::translate(
        "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
    return msg == leavePage;
}

bool HarvestPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*)
{
    ++refused_;
    return false;
}

void HarvestPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&)
{
}

QWebEnginePage* HarvestPage::createWindow(WebWindowType)
{
    ++refused_;
    return nullptr;
}

QStringList HarvestPage::chooseFiles(FileSelectionMode, const QStringList&, const QStringList&)
{
    ++refused_;
    return {};
}

} // namespace lt
