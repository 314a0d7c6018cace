#pragma once
#include "app/MainWindowControls.h"
#include "search/OptionsView.h"
#include "search/SearchView.h"

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QWidget;

namespace lt {

class ResultListModel;

// Filter of the main window's open and save dialogs.
inline constexpr const char* kListFileFilter = "Text files(*.txt)|*.txt|All files(*.*)|*.*";

// Binds the search's view and options to the main window's controls.
class MainWindowView : public QObject, public SearchView, public OptionsView {
    Q_OBJECT
public:
    using OpenFileChooser = std::function<std::optional<QString>(const QString& initialFolder)>;

    // window: parent of the boxes and dialogs; results: the model behind ListView1.
    MainWindowView(QWidget& window, const MainWindowControls& controls, ResultListModel& results,
                   QObject* parent = nullptr);

    // Replaces the open dialog (tests).
    void setOpenFileChooser(OpenFileChooser chooser) { chooseFile_ = std::move(chooser); }

    std::string addressListPath() const override;
    void setAddressListPath(const std::string& path) override;
    std::int32_t interval() const override;
    void setInterval(std::int32_t seconds) override;
    bool ownSiteOption() const override;
    void setOwnSiteOption(bool on) override;
    bool filterOption() const override;
    void setFilterOption(bool on) override;
    std::string filterText(FilterList list) const override;
    void setFilterText(FilterList list, const std::string& text) override;
    int filterLineCount(FilterList list) const override;
    const std::string& filterLine(FilterList list, int index) const override;

    int appendItem(const std::string& caption) override;
    void makeVisible(int index) override;
    void clearResults() override;

    void setPanelText(int panel, const std::string& text) override;

    void setCommandEnabled(SearchCommand command, bool enabled) override;
    void repaintNow() override;
    void informationBox(const std::string& text) override;
    void plainMessageBox(const std::string& text) override;
    std::optional<std::string> inputDialog(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) override;
    std::optional<std::string> openFileDialog(const std::string& initialFolder) override;

private:
    QPlainTextEdit* memo(FilterList list) const;
    void refreshLines(FilterList list);

    QWidget& window_;
    const MainWindowControls& c_;
    ResultListModel& results_;
    // The list's path as the file system's bytes; Edit1 shows it readable.
    std::string listPath_;
    // Lines of each filter list, kept in step with the field's text.
    std::vector<std::string> lines_[2];
    OpenFileChooser chooseFile_;
};

} // namespace lt
