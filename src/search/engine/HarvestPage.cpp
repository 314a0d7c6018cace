#include "search/engine/HarvestPage.h"

#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>

namespace lt {

HarvestPage::HarvestPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
{
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings()->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings()->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
    settings()->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings()->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);

    connect(this, &QWebEnginePage::featurePermissionRequested, this, [this](const QUrl& origin, Feature feature) {
        ++refused_;
        setFeaturePermission(origin, feature, PermissionDeniedByUser);
    });
    connect(this, &QWebEnginePage::certificateError, this, [this](const QWebEngineCertificateError& error) {
        ++refused_;
        const_cast<QWebEngineCertificateError&>(error).rejectCertificate();
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
    // authenticationRequired and proxyAuthenticationRequired stay unanswered,
    // which cancels them: a search has no one to type a password.
}

void HarvestPage::javaScriptAlert(const QUrl&, const QString&)
{
    ++refused_;
}

bool HarvestPage::javaScriptConfirm(const QUrl&, const QString&)
{
    ++refused_;
    return false;
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
