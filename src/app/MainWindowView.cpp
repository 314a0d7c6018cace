#include "app/MainWindowView.h"

#include "app/Boxes.h"
#include "app/ResultListModel.h"
#include "text/IntegerText.h"
#include "text/MemoLines.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace lt {

namespace {
QString q(const std::string& s)
{
    return QString::fromStdString(s);
}
std::string s(const QString& q)
{
    return q.toStdString();
}
} // namespace

MainWindowView::MainWindowView(const MainWindowWidgets& widgets, QObject* parent) : QObject(parent), w_(widgets)
{
    for (FilterList list : {FilterList::MustContain, FilterList::MustNotContain}) {
        refreshLines(list);
        connect(memo(list), &QPlainTextEdit::textChanged, this, [this, list] { refreshLines(list); });
    }
}

QPlainTextEdit* MainWindowView::memo(FilterList list) const
{
    return list == FilterList::MustContain ? w_.mustContain : w_.mustNotContain;
}

void MainWindowView::refreshLines(FilterList list)
{
    lines_[static_cast<int>(list)] = splitMemoLines(s(memo(list)->toPlainText()));
}

std::string MainWindowView::addressListPath() const
{
    return s(w_.addressList->text());
}

void MainWindowView::setAddressListPath(const std::string& path)
{
    w_.addressList->setText(q(path));
}

std::int32_t MainWindowView::interval() const
{
    std::int32_t v = 0;
    if (!tryStrToInt(s(w_.interval->cleanText()), v))
        return w_.interval->minimum();
    return v;
}

void MainWindowView::setInterval(std::int32_t seconds)
{
    // QSpinBox brings the value into its range itself.
    w_.interval->setValue(seconds);
}

bool MainWindowView::ownSiteOption() const
{
    return w_.ownSite->isChecked();
}

void MainWindowView::setOwnSiteOption(bool on)
{
    w_.ownSite->setChecked(on);
}

bool MainWindowView::filterOption() const
{
    return w_.filter->isChecked();
}

void MainWindowView::setFilterOption(bool on)
{
    w_.filter->setChecked(on);
}

std::string MainWindowView::filterText(FilterList list) const
{
    return s(memo(list)->toPlainText());
}

void MainWindowView::setFilterText(FilterList list, const std::string& text)
{
    memo(list)->setPlainText(q(text));
    refreshLines(list);
}

int MainWindowView::filterLineCount(FilterList list) const
{
    return static_cast<int>(lines_[static_cast<int>(list)].size());
}

const std::string& MainWindowView::filterLine(FilterList list, int index) const
{
    return lines_[static_cast<int>(list)].at(static_cast<std::size_t>(index));
}

void MainWindowView::beginUpdate() {}

int MainWindowView::appendItem(const std::string& caption)
{
    return w_.results->append(q(caption));
}

void MainWindowView::makeVisible(int index)
{
    w_.results->requestVisible(index);
}

void MainWindowView::endUpdate() {}

void MainWindowView::clearResults()
{
    w_.results->clear();
}

void MainWindowView::setPanelText(int panel, const std::string& text)
{
    if (panel >= 0 && panel < static_cast<int>(w_.panels.size()) && w_.panels[static_cast<std::size_t>(panel)])
        w_.panels[static_cast<std::size_t>(panel)]->setText(q(text));
}

void MainWindowView::setCommandEnabled(SearchCommand command, bool enabled)
{
    QAbstractButton* b = nullptr;
    switch (command) {
    case SearchCommand::ChooseList:
        b = w_.chooseList;
        break;
    case SearchCommand::Start:
        b = w_.start;
        break;
    case SearchCommand::Stop:
        b = w_.stop;
        break;
    case SearchCommand::Continue:
        b = w_.continueSearch;
        break;
    }
    if (b)
        b->setEnabled(enabled);
}

void MainWindowView::repaintNow()
{
    if (w_.window)
        w_.window->repaint();
}

void MainWindowView::informationBox(const std::string& text)
{
    lt::informationBox(w_.window, q(text));
}

void MainWindowView::plainMessageBox(const std::string& text)
{
    lt::plainMessageBox(w_.window, q(text));
}

std::optional<std::string> MainWindowView::inputDialog(const std::string& caption, const std::string& prompt,
                                                       const std::string& initial)
{
    auto r = lt::inputDialog(w_.window, q(caption), q(prompt), q(initial));
    if (!r)
        return std::nullopt;
    return s(*r);
}

std::optional<std::string> MainWindowView::openFileDialog(const std::string& initialFolder)
{
    std::optional<QString> chosen;
    if (chooseFile_) {
        chosen = chooseFile_(q(initialFolder));
    } else {
        QFileDialog dialog(w_.window, QStringLiteral("选择网址列表文件"), q(initialFolder));
        dialog.setNameFilters({QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*.*)")});
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (!chosen)
        return std::nullopt;
    return s(*chosen);
}

} // namespace lt
