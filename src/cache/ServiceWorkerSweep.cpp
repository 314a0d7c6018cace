#include "cache/ServiceWorkerSweep.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace lt {

namespace {

// Runs in the frontend: asks the engine for every registration of the
// inspected page's profile (ServiceWorker.enable lists them in one event,
// also when there are none), then clears each origin's workers and caches
// one after the other. Protocol messages go out through the frontend's
// embedder channel and come back through DevToolsAPI.dispatchMessage, where
// the answers to our own ids are taken aside. Timers of a page no one sees
// are slowed to one a second, so nothing here waits on a timer but the
// fallback for an event that does not come.
const char* const kSweepScript = R"JS(
(function (extraOrigins) {
    var sweep = window.__ltSweep = { done: false, cleared: [] };
    var nextId = 900000000, pending = {}, scopes = [], listed;
    var registrationsListed = new Promise(function (resolve) { listed = resolve; });
    var dispatch = DevToolsAPI.dispatchMessage.bind(DevToolsAPI);
    DevToolsAPI.dispatchMessage = function (message) {
        var m;
        try { m = typeof message === 'string' ? JSON.parse(message) : message; } catch (e) { return dispatch(message); }
        if (m && pending[m.id]) {
            var answer = pending[m.id];
            delete pending[m.id];
            answer(m);
            return;
        }
        if (m && m.method === 'ServiceWorker.workerRegistrationUpdated') {
            m.params.registrations.forEach(function (r) { if (!r.isDeleted) scopes.push(r.scopeURL); });
            listed();
            return;
        }
        return dispatch(message);
    };
    function call(method, params) {
        return new Promise(function (resolve) {
            var id = nextId++;
            pending[id] = resolve;
            DevToolsHost.sendMessageToEmbedder(JSON.stringify({ id: 0, method: 'dispatchProtocolMessage',
                params: [JSON.stringify({ id: id, method: method, params: params })] }));
        });
    }
    (async function () {
        await call('ServiceWorker.enable', {});
        await Promise.race([registrationsListed, new Promise(function (r) { setTimeout(r, 500); })]);
        await call('ServiceWorker.disable', {});
        var origins = new Set(extraOrigins);
        scopes.forEach(function (s) { origins.add(new URL(s).origin); });
        for (var origin of origins) {
            var r = await call('Storage.clearDataForOrigin',
                               { origin: origin, storageTypes: 'service_workers,cache_storage' });
            if (!r.error)
                sweep.cleared.push(origin);
        }
        sweep.done = true;
    })().catch(function (e) { sweep.error = String(e); sweep.done = true; });
    return true;
})(%1)
)JS";

const char* const kStateScript = "JSON.stringify(window.__ltSweep || null)";

void runEngineUntil(QDeadlineTimer deadline, const std::function<void(QEventLoop&)>& arm)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(std::max<qint64>(0, deadline.remainingTime())));
    arm(loop);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool loadFinishes(QWebEnginePage& page, QDeadlineTimer deadline)
{
    bool ok = false;
    QMetaObject::Connection done;
    runEngineUntil(deadline, [&](QEventLoop& loop) {
        done = QObject::connect(&page, &QWebEnginePage::loadFinished, &loop, [&](bool finished) {
            ok = finished;
            loop.quit();
        });
    });
    QObject::disconnect(done);
    return ok;
}

// The answer of a script in the frontend's own world, or nothing in time.
std::optional<QVariant> evaluate(QWebEnginePage& page, const QString& script, QDeadlineTimer deadline)
{
    struct Answer {
        std::optional<QVariant> value;
        QPointer<QEventLoop> loop;
    };
    auto answer = std::make_shared<Answer>();
    page.runJavaScript(script, QWebEngineScript::MainWorld, [answer](const QVariant& v) {
        answer->value = v;
        if (answer->loop)
            answer->loop->quit();
    });
    if (!answer->value)
        runEngineUntil(deadline, [&](QEventLoop& loop) { answer->loop = &loop; });
    return answer->value;
}

} // namespace

ServiceWorkerSweep::ServiceWorkerSweep(QWebEngineProfile& profile, QStringList extraOrigins)
    : profile_(profile), extraOrigins_(std::move(extraOrigins))
{
}

bool ServiceWorkerSweep::run(QDeadlineTimer deadline)
{
    cleared_.clear();
    // Destroyed in reverse: the pages before the profile that keeps nothing.
    QWebEngineProfile frontendProfile;
    QWebEnginePage inspected(&profile_);
    QWebEnginePage frontend(&frontendProfile);
    frontend.setInspectedPage(&inspected);
    if (!loadFinishes(frontend, deadline))
        return false;

    const QString origins = QString::fromUtf8(
        QJsonDocument(QJsonArray::fromStringList(extraOrigins_)).toJson(QJsonDocument::Compact));
    const auto started = evaluate(frontend, QString::fromLatin1(kSweepScript).arg(origins), deadline);
    if (!started || !started->toBool())
        return false;
    while (!deadline.hasExpired()) {
        const auto state = evaluate(frontend, QString::fromLatin1(kStateScript), deadline);
        if (!state)
            return false;
        const QJsonObject sweep = QJsonDocument::fromJson(state->toString().toUtf8()).object();
        if (sweep.value(QLatin1String("done")).toBool()) {
            for (const QJsonValue& origin : sweep.value(QLatin1String("cleared")).toArray())
                cleared_ << origin.toString();
            return !sweep.contains(QLatin1String("error"));
        }
        runEngineUntil(QDeadlineTimer(std::min<qint64>(5, deadline.remainingTime())), [](QEventLoop&) {});
    }
    return false;
}

} // namespace lt
