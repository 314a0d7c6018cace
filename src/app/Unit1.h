#pragma once
#include "app/MainWindowControls.h"
#include "search/FoundSet.h"
#include "search/SearchController.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QDialog;
class QWebEngineView;

namespace lt {
class MainWindowTray;
class MainWindowView;
class QtStepTimer;
class ResultListModel;
} // namespace lt

// The main window: toolbar, options, filter lists, result list, browser pane
// and status bar, wired to the search controller.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    struct Services {
        // Empties the browser's history and cache (the hidden cleaner window).
        std::function<void()> cleanCache;
        std::function<std::string()> networkCheck;
        std::function<void(int ms)> pause;
        std::string programFolder;
    };

    explicit TForm1(Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // The embedded browser, for the host that drives it.
    QWebEngineView* webBrowser() const { return controls_.WebBrowser1; }
    void bindBrowserHost(lt::BrowserHost* host);
    // The windows opened by "创建" and "关于".
    void setAuxiliaryWindows(QDialog* about, QDialog* bbs);

    lt::SearchController& controller() { return *controller_; }
    lt::MainWindowView& view() { return *view_; }
    lt::ResultListModel& results() { return *results_; }
    lt::MainWindowTray& tray() { return *tray_; }

    // Replaces the save dialog (tests).
    void setSaveFileChooser(std::function<std::optional<QString>()> chooser) { chooseSaveFile_ = std::move(chooser); }

    // Handlers.
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();
    void N1Click();
    void N2Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void N14Click();
    void N15Click();
    void N17Click();
    void N18Click();
    void N20Click();
    void N23Click();
    void N28Click();
    void SpeedButton8Click();
    void SpeedButton10Click();
    void Button1Click();
    void BitBtn1Click();
    void Timer1Timer();
    void WebBrowser1DocumentComplete();

    // The controls by their fixed names (tests read them here).
    const lt::MainWindowControls& controls() const { return controls_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildToolbar(QWidget* strip);
    QWidget* buildOptionRow();
    QWidget* buildFilterPanel();
    QWidget* buildBody();
    void buildStatusBar();
    // Runs a handler so that no error crosses the event loop.
    void guard(const std::function<void()>& handler);
    // A handler as a guarded command, for buttons and menu entries.
    std::function<void()> command(void (TForm1::*handler)());

    Services services_;
    lt::MainWindowControls controls_;
    std::unique_ptr<lt::FoundSet> found_;
    lt::ResultListModel* results_ = nullptr;
    lt::MainWindowView* view_ = nullptr;
    std::unique_ptr<lt::QtStepTimer> stepTimer_;
    std::unique_ptr<lt::SearchController> controller_;
    lt::BrowserHost* host_ = nullptr;
    QPointer<QDialog> about_;
    QPointer<QDialog> bbs_;
    std::function<std::optional<QString>()> chooseSaveFile_;
    lt::MainWindowTray* tray_ = nullptr;
    bool minimiseToTray_ = false;
    bool shownOnce_ = false;
    bool closing_ = false;
};
