#pragma once
#include <functional>

class QWidget;

namespace lt {

// Runs a handler so that no error crosses the event loop: an escaping error
// is shown in the application's default error box and the program goes on.
void guarded(QWidget* parent, const std::function<void()>& handler);

} // namespace lt
