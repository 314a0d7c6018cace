#pragma once
#include <QDialog>

class QToolButton;

namespace lt {
class BrowserDataStore;
}

// The cache cleaner's window: made hidden at start-up and never shown. Its
// one button's click handler is the only entry to the clean; the search
// clicks the button from the program and the clean is done when that returns.
class Tdelform : public QDialog {
    Q_OBJECT
public:
    explicit Tdelform(lt::BrowserDataStore& store, QWidget* parent = nullptr);

    // Clicks SpeedButton4, as the search does.
    void clean();

    QToolButton* SpeedButton4 = nullptr;

public slots:
    void N3Click(QObject* sender);

private:
    lt::BrowserDataStore& store_;
};
