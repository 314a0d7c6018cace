#include "search/engine/RetryAfterProbe.h"

#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace lt {

namespace {
const char* const kAskScript = R"JS(
(function () {
    window.__ltRetryAfter = undefined;
    try {
        fetch(location.href, {method: 'HEAD', cache: 'no-store', credentials: 'include', redirect: 'manual'})
            .then(function (r) { window.__ltRetryAfter = r.headers.get('Retry-After') || ''; },
                  function () { window.__ltRetryAfter = ''; });
    } catch (e) {
        window.__ltRetryAfter = '';
    }
    return 0;
})()
)JS";

const char* const kReadScript = "window.__ltRetryAfter === undefined ? null : String(window.__ltRetryAfter)";
} // namespace

void askRetryAfter(QWebEnginePage& page)
{
    page.runJavaScript(QString::fromLatin1(kAskScript), QWebEngineScript::ApplicationWorld);
}

void readRetryAfter(QWebEnginePage& page, std::function<void(std::optional<std::string>)> answer)
{
    page.runJavaScript(QString::fromLatin1(kReadScript), QWebEngineScript::ApplicationWorld,
                       [answer = std::move(answer)](const QVariant& v) {
                           if (v.typeId() != QMetaType::QString)
                               return answer(std::nullopt);
                           answer(v.toString().toStdString());
                       });
}

} // namespace lt
