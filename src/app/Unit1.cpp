#include "app/Unit1.h"

#include "app/MainWindowTray.h"
#include "app/MainWindowView.h"
#include "app/ResultListModel.h"
#include "app/ResultListView.h"
#include "base/Files.h"
#include "search/Interval.h"
#include "search/ProgressFile.h"
#include "search/ResultListFile.h"
#include "search/engine/QtStepTimer.h"
#include "ui/AppInfo.h"
#include "ui/Boxes.h"
#include "ui/ErrorGuard.h"
#include "ui/FileFilter.h"
#include "ui/FileNames.h"
#include "ui/ModalWindows.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {
QFrame* bevel(QWidget* inner, QFrame::Shadow shadow, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | shadow);
    frame->setLineWidth(1);
    auto* l = new QVBoxLayout(frame);
    l->setContentsMargins(1, 1, 1, 1);
    l->addWidget(inner);
    return frame;
}
} // namespace

TForm1::TForm1(Services services, QWidget* parent) : QMainWindow(parent), services_(std::move(services))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(lt::kProductCaption) + QStringLiteral("  ") + QString::fromUtf8(lt::kMakerLine));
    setFont(lt::songTiFont());
    setWindowIcon(lt::programIcon());
    // Hiding into the tray or closing the last other window must not end the
    // program: only the confirmed close of this window does (closeEvent).
    QApplication::setQuitOnLastWindowClosed(false);
    // The other windows are modal to this one's family, so that the tray
    // icon still answers while they run.
    lt::setModalOwner(this);

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* strip = new QWidget(central);
    strip->setFixedHeight(31);
    buildToolbar(strip);
    column->addWidget(strip);
    column->addWidget(buildOptionRow());
    column->addWidget(buildFilterPanel());
    column->addWidget(buildBody(), 1);
    setCentralWidget(central);
    buildStatusBar();

    controls_.Timer1 = new QTimer(this);
    controls_.Timer1->setInterval(5000);
    connect(controls_.Timer1, &QTimer::timeout, this, [this] { guard([this] { Timer1Timer(); }); });

    // The first step and Finish are clicked by the program, never by the user.
    controls_.Button1 = new QPushButton(this);
    controls_.Button1->hide();
    connect(controls_.Button1, &QPushButton::clicked, this, [this] { guard([this] { Button1Click(); }); });
    controls_.BitBtn1 = new QPushButton(this);
    controls_.BitBtn1->hide();
    connect(controls_.BitBtn1, &QPushButton::clicked, this, [this] { guard([this] { BitBtn1Click(); }); });

    lt::setOuterSize(*this, QSize(575, 421));
    lt::centreOnScreen(*this);

    view_ = new lt::MainWindowView(*this, controls_, *results_, this);
    stepTimer_ = std::make_unique<lt::QtStepTimer>(*controls_.Timer1);

    lt::MainWindowTray::Commands tray;
    tray.restore = command(&TForm1::N17Click);
    tray.minimise = command(&TForm1::N18Click);
    tray.contact = command(&TForm1::N14Click);
    tray.homePage = command(&TForm1::N20Click);
    tray.about = command(&TForm1::N15Click);
    tray.exit = command(&TForm1::N23Click);
    tray_ = new lt::MainWindowTray(*this, std::move(tray), this);
    guard([this] { tray_->create(); });

    guard([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    // The controller refers to the found set and the timer: it goes first.
    controller_.reset();
}

void TForm1::buildToolbar(QWidget* strip)
{
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 4, 2, 4);
    row->setSpacing(0);
    auto button = [&](const char* caption, const char* tip, void (TForm1::*handler)()) {
        auto* b = new QToolButton(strip);
        b->setText(QString::fromUtf8(caption));
        b->setToolTip(QString::fromUtf8(tip));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(55, 23);
        connect(b, &QToolButton::clicked, this, command(handler));
        row->addWidget(b);
        return b;
    };
    controls_.SpeedButton1 = button("网址", "选择网址列表", &TForm1::N1Click);
    controls_.SpeedButton2 = button("搜索", "开始链接搜索", &TForm1::N2Click);
    controls_.SpeedButton3 = button("终止", "终止链接搜索", &TForm1::N3Click);
    controls_.SpeedButton4 = button("继续", "继续搜索链接", &TForm1::N4Click);
    controls_.SpeedButton5 = button("保存", "保存搜索结果", &TForm1::N5Click);
    controls_.SpeedButton6 = button("创建", "创建BBS网址列表", &TForm1::N28Click);
    controls_.SpeedButton8 = button("进程", "保存搜索进程", &TForm1::SpeedButton8Click);
    controls_.SpeedButton9 = button("关于", "关于本软件", &TForm1::N15Click);
    controls_.SpeedButton10 = button("退出", "退出软件系统", &TForm1::SpeedButton10Click);
    row->addStretch(1);
}

QWidget* TForm1::buildOptionRow()
{
    auto* panel = new QWidget(this);
    panel->setFixedHeight(26);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 2, 2);
    row->setSpacing(4);
    row->addWidget(new QLabel(QStringLiteral("搜索间隔[秒]："), panel));
    controls_.SpinEdit1 = new QSpinBox(panel);
    controls_.SpinEdit1->setRange(lt::kIntervalMin, lt::kIntervalMax);
    controls_.SpinEdit1->setValue(lt::kIntervalDefault);
    controls_.SpinEdit1->setFixedWidth(50);
    row->addWidget(controls_.SpinEdit1);
    row->addSpacing(8);
    row->addWidget(new QLabel(QStringLiteral("网址列表："), panel));
    controls_.Edit1 = new QLineEdit(panel);
    controls_.Edit1->setReadOnly(true);
    row->addWidget(controls_.Edit1, 1);
    return panel;
}

QWidget* TForm1::buildFilterPanel()
{
    auto* panel = new QWidget(this);
    panel->setFixedHeight(64);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 2, 2, 2);
    row->setSpacing(6);

    auto* options = new QVBoxLayout;
    options->setSpacing(4);
    controls_.CheckBox1 = new QCheckBox(QStringLiteral("只搜索本站链接"), panel);
    controls_.CheckBox2 = new QCheckBox(QStringLiteral("启用网址筛选"), panel);
    for (QCheckBox* box : {controls_.CheckBox1, controls_.CheckBox2}) {
        box->setLayoutDirection(Qt::RightToLeft); // caption on the left of the box
        options->addWidget(box);
    }
    row->addLayout(options);

    auto memo = [&](const char* label, const char* initial) {
        row->addWidget(new QLabel(QString::fromUtf8(label), panel));
        auto* m = new QPlainTextEdit(QString::fromUtf8(initial), panel);
        m->setLineWrapMode(QPlainTextEdit::NoWrap);
        m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m->setTabChangesFocus(true);
        row->addWidget(m, 1);
        return m;
    };
    controls_.Memo1 = memo("链接须包含", "http://");
    controls_.Memo2 = memo("链接不包含", "#");
    return panel;
}

QWidget* TForm1::buildBody()
{
    // A splitter between the list and the browser pane lets the user widen
    // the list; the default layout is the list at its fixed width.
    auto* body = new QSplitter(Qt::Horizontal, this);
    body->setChildrenCollapsible(false);
    body->setHandleWidth(4);

    results_ = new lt::ResultListModel(this);
    auto* list = new lt::ResultListView(body);
    controls_.ListView1 = list;
    list->setModel(results_);
    connect(results_, &lt::ResultListModel::published, list,
            [this, list](int row) { list->scrollTo(results_->index(row, 0)); });
    body->addWidget(list);

    controls_.WebBrowser1 = new QWebEngineView(body);
    auto* inner = bevel(controls_.WebBrowser1, QFrame::Sunken, body);
    body->addWidget(bevel(inner, QFrame::Raised, body));
    body->setStretchFactor(0, 0);
    body->setStretchFactor(1, 1);
    body->setSizes({lt::ResultListView::kDefaultWidth, width()});
    return body;
}

void TForm1::buildStatusBar()
{
    static const int widths[7] = {39, 50, 39, 50, 39, 50, 50};
    static const char* labels[7] = {"总数：", "", "进程：", "", "链接：", "", ""};
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 7; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(labels[i]), bar);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMinimumWidth(widths[i]);
        if (i < 6) {
            panel->setFixedWidth(widths[i]);
            bar->addWidget(panel);
        } else {
            bar->addWidget(panel, 1); // the message panel takes the rest
        }
        controls_.StatusBar1[static_cast<std::size_t>(i)] = panel;
    }
    controls_.StatusBar1[6]->setText(QString::fromUtf8(lt::kStatusContact));
}

void TForm1::guard(const std::function<void()>& handler)
{
    lt::guarded(this, handler);
}

std::function<void()> TForm1::command(void (TForm1::*handler)())
{
    return [this, handler] { guard([this, handler] { (this->*handler)(); }); };
}

void TForm1::bindBrowserHost(lt::BrowserHost* host)
{
    host_ = host;
    if (controller_)
        controller_->bindBrowserHost(host);
    if (host)
        host->setCompletionHandler([this] { guard([this] { WebBrowser1DocumentComplete(); }); });
}

void TForm1::setAuxiliaryWindows(QDialog* about, QDialog* bbs)
{
    about_ = about;
    bbs_ = bbs;
}

void TForm1::FormCreate()
{
    found_ = std::make_unique<lt::FoundSet>();

    QPalette tips = QToolTip::palette();
    tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
    tips.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tips);

    minimiseToTray_ = true;

    lt::SearchEnvironment env;
    env.pause = services_.pause;
    env.cleanCache = services_.cleanCache ? services_.cleanCache : [] {};
    env.networkCheck = services_.networkCheck;
    controller_ = std::make_unique<lt::SearchController>(*view_, *view_, *stepTimer_,
                                                         lt::ProgressFile(services_.programFolder), *found_,
                                                         std::move(env));
    controller_->bindBrowserHost(host_);
    controller_->restoreAtStartup();
}

void TForm1::N1Click()
{
    if (controller_)
        controller_->chooseList();
}

void TForm1::N2Click()
{
    if (controller_)
        controller_->start();
}

void TForm1::N3Click()
{
    if (controller_)
        controller_->stop();
}

void TForm1::N4Click()
{
    if (controller_)
        controller_->continueSearch();
}

void TForm1::SpeedButton8Click()
{
    if (controller_)
        controller_->saveProgress();
}

void TForm1::Button1Click()
{
    if (controller_)
        controller_->firstStep();
}

void TForm1::BitBtn1Click()
{
    if (controller_)
        controller_->finish();
}

void TForm1::Timer1Timer()
{
    if (controller_)
        controller_->step();
}

void TForm1::WebBrowser1DocumentComplete()
{
    if (controller_)
        controller_->pageComplete();
}

void TForm1::N5Click()
{
    std::optional<QString> chosen;
    if (chooseSaveFile_) {
        chosen = chooseSaveFile_();
    } else {
        QFileDialog dialog(this, QStringLiteral("搜索结果保存为"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        lt::setFileFilter(dialog, QString::fromUtf8(lt::kListFileFilter));
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setOption(QFileDialog::ReadOnly, false);
        if (lt::execModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (!chosen)
        return;
    lt::ResultListFile file(lt::fileSystemName(*chosen), lt::WriteErrors::Runtime);
    for (const QString& link : results_->captions())
        file.add(link.toStdString());
    file.commit();
}

void TForm1::N14Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(lt::kContactMail)));
}

void TForm1::N20Click()
{
    QDesktopServices::openUrl(QUrl(QString::fromUtf8(lt::kHomePage)));
}

void TForm1::N17Click()
{
    tray_->restore();
}

void TForm1::N18Click()
{
    if (tray_->canHide())
        tray_->minimiseToTray();
    else
        showMinimized();
}

void TForm1::N23Click()
{
    // Queued: the tray menu that ran this command is still open.
    QTimer::singleShot(0, this, &QWidget::close);
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && minimiseToTray_ && tray_->canHide())
        QTimer::singleShot(0, this, [this] { guard([this] { N18Click(); }); });
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        controls_.ListView1->setFocus();
    }
}

void TForm1::N15Click()
{
    if (about_)
        lt::execModal(*about_);
}

void TForm1::N28Click()
{
    if (bbs_)
        lt::execModal(*bbs_);
}

void TForm1::SpeedButton10Click()
{
    close();
}

bool TForm1::FormCloseQuery()
{
    return lt::confirmationBox(this, QStringLiteral("确认退出拾链宝吗?"));
}

void TForm1::FormDestroy()
{
    if (host_)
        host_->setCompletionHandler({});
    controller_.reset();
    found_.reset();
    const std::string tmp = services_.programFolder + lt::kTemporaryFileName;
    if (lt::fileExists(tmp))
        lt::deleteFile(tmp);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        event->accept();
        return;
    }
    bool confirmed = false;
    guard([&] { confirmed = FormCloseQuery(); });
    if (!confirmed) {
        event->ignore();
        return;
    }
    closing_ = true;
    controls_.Timer1->stop();
    guard([this] { FormDestroy(); });
    event->accept();
    QApplication::quit();
}
