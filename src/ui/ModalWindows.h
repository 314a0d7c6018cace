#pragma once

class QDialog;
class QWidget;

namespace lt {

// Modal windows block the program's own windows, not the rest of the
// process. On X11 the notification-area icon is a top-level window of the
// process too; an application-modal window would block it, and a user whose
// main window is in the tray could not get back. So every modal window is
// modal to the main window's family: the main window, the windows hung under
// it and the windows opened from those.

// The window every modal window hangs under; the main window registers
// itself. Forgotten when that window goes.
void setModalOwner(QWidget* window);
QWidget* modalOwner();

// Runs the dialog modally in the way above and returns its result. A dialog
// without a parent is hung under the owner for the time it runs (as its
// transient window, not its child: the owner does not take it over).
int execModal(QDialog& dialog);

} // namespace lt
