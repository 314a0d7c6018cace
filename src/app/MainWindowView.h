#pragma once
#include "search/SearchView.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QWidget;

namespace lt {

class ResultListModel;

// The main window's widgets as the search sees them.
struct MainWindowWidgets {
    QWidget* window = nullptr;
    QLineEdit* addressList = nullptr;
    QSpinBox* interval = nullptr;
    QCheckBox* ownSite = nullptr;
    QCheckBox* filter = nullptr;
    QPlainTextEdit* mustContain = nullptr;
    QPlainTextEdit* mustNotContain = nullptr;
    ResultListModel* results = nullptr;
    std::array<QLabel*, 7> panels {};
    QAbstractButton* chooseList = nullptr;
    QAbstractButton* start = nullptr;
    QAbstractButton* stop = nullptr;
    QAbstractButton* continueSearch = nullptr;
};

// Binds the search's view interface to the main window's widgets.
class MainWindowView : public QObject, public SearchView {
    Q_OBJECT
public:
    using OpenFileChooser = std::function<std::optional<QString>(const QString& initialFolder)>;

    explicit MainWindowView(const MainWindowWidgets& widgets, QObject* parent = nullptr);

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

    void beginUpdate() override;
    int appendItem(const std::string& caption) override;
    void makeVisible(int index) override;
    void endUpdate() override;
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

    MainWindowWidgets w_;
    // Lines of each filter list, kept in step with the field's text.
    std::vector<std::string> lines_[2];
    OpenFileChooser chooseFile_;
};

} // namespace lt
