#include "app/MainWindowView.h"

#include "app/ResultListModel.h"
#include "ui/Boxes.h"
#include "ui/FileFilter.h"
#include "ui/FileNames.h"
#include "ui/ModalWindows.h"
#include "text/IntegerText.h"
#include "text/MemoLines.h"

#include <QAbstractButton>
#include <QToolButton>
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

MainWindowView::MainWindowView(QWidget& window, const MainWindowControls& controls, ResultListModel& results,
                               QObject* parent)
    : QObject(parent), window_(window), c_(controls), results_(results)
{
    for (FilterList list : {FilterList::MustContain, FilterList::MustNotContain}) {
        refreshLines(list);
        connect(memo(list), &QPlainTextEdit::textChanged, this, [this, list] { refreshLines(list); });
    }
}

QPlainTextEdit* MainWindowView::memo(FilterList list) const
{
    return list == FilterList::MustContain ? c_.Memo1 : c_.Memo2;
}

void MainWindowView::refreshLines(FilterList list)
{
    lines_[static_cast<int>(list)] = splitMemoLines(s(memo(list)->toPlainText()));
}

std::string MainWindowView::addressListPath() const
{
    // The field shows a readable form; the path itself is kept aside, as
    // bytes, unless something else has been put into the field.
    const QString shown = c_.Edit1->text();
    if (shown == readableFileName(listPath_))
        return listPath_;
    return fileSystemName(shown);
}

void MainWindowView::setAddressListPath(const std::string& path)
{
    listPath_ = path;
    c_.Edit1->setText(readableFileName(path));
}

std::int32_t MainWindowView::interval() const
{
    std::int32_t v = 0;
    if (!tryStrToInt(s(c_.SpinEdit1->cleanText()), v))
        return c_.SpinEdit1->minimum();
    return v;
}

void MainWindowView::setInterval(std::int32_t seconds)
{
    // QSpinBox brings the value into its range itself.
    c_.SpinEdit1->setValue(seconds);
}

bool MainWindowView::ownSiteOption() const
{
    return c_.CheckBox1->isChecked();
}

void MainWindowView::setOwnSiteOption(bool on)
{
    c_.CheckBox1->setChecked(on);
}

bool MainWindowView::filterOption() const
{
    return c_.CheckBox2->isChecked();
}

void MainWindowView::setFilterOption(bool on)
{
    c_.CheckBox2->setChecked(on);
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

int MainWindowView::appendItem(const std::string& caption)
{
    return results_.append(q(caption));
}

void MainWindowView::makeVisible(int index)
{
    results_.requestVisible(index);
}

void MainWindowView::clearResults()
{
    results_.clear();
}

void MainWindowView::setPanelText(int panel, const std::string& text)
{
    if (panel >= 0 && panel < static_cast<int>(c_.StatusBar1.size()) && c_.StatusBar1[static_cast<std::size_t>(panel)])
        c_.StatusBar1[static_cast<std::size_t>(panel)]->setText(q(text));
}

void MainWindowView::setCommandEnabled(SearchCommand command, bool enabled)
{
    QAbstractButton* b = nullptr;
    switch (command) {
    case SearchCommand::ChooseList:
        b = c_.SpeedButton1;
        break;
    case SearchCommand::Start:
        b = c_.SpeedButton2;
        break;
    case SearchCommand::Stop:
        b = c_.SpeedButton3;
        break;
    case SearchCommand::Continue:
        b = c_.SpeedButton4;
        break;
    }
    if (b)
        b->setEnabled(enabled);
}

void MainWindowView::repaintNow()
{
    window_.repaint();
}

void MainWindowView::informationBox(const std::string& text)
{
    lt::informationBox(&window_, q(text));
}

void MainWindowView::plainMessageBox(const std::string& text)
{
    lt::plainMessageBox(&window_, q(text));
}

std::optional<std::string> MainWindowView::inputDialog(const std::string& caption, const std::string& prompt,
                                                       const std::string& initial)
{
    auto r = lt::inputDialog(&window_, q(caption), q(prompt), q(initial));
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
        QFileDialog dialog(&window_, QStringLiteral("选择网址列表文件"), q(initialFolder));
        lt::setFileFilter(dialog, QString::fromUtf8(kListFileFilter));
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (lt::execModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (!chosen)
        return std::nullopt;
    return fileSystemName(*chosen);
}

} // namespace lt
