#pragma once
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace lt::test {

// Runs f once a modal window of type T is up (inside that window's own loop).
// Gives up after a few seconds, closing whatever is modal, so that a fault
// fails the test instead of hanging it.
template <typename T>
void whenModal(std::function<void(T*)> f)
{
    auto* timer = new QTimer;
    auto* waited = new int(0);
    QObject::connect(timer, &QTimer::timeout, [timer, waited, f] {
        T* w = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!w && ++*waited < 500)
            return;
        timer->stop();
        timer->deleteLater();
        delete waited;
        if (w) {
            f(w);
        } else {
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " came up";
            if (QWidget* other = QApplication::activeModalWidget())
                other->close();
        }
    });
    timer->start(10);
}

} // namespace lt::test
