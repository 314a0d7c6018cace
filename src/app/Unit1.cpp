#include "app/Unit1.h"

#include "app/AppInfo.h"
#include "app/Boxes.h"
#include "app/ErrorGuard.h"
#include "app/MainWindowTray.h"
#include "app/MainWindowView.h"
#include "app/QtStepTimer.h"
#include "app/ResultListModel.h"
#include "resources/Resources.h"
#include "search/ProgressFile.h"
#include "text/Files.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QUrl>
#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {
QFont windowFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
                   QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(12);
    return f;
}

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
    setFont(windowFont());
    lt::initResources();
    if (QFile::exists(QStringLiteral(":/icons/linktrawler.png")))
        setWindowIcon(QIcon(QStringLiteral(":/icons/linktrawler.png")));

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

    Timer1 = new QTimer(this);
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, [this] { guard([this] { Timer1Timer(); }); });

    // The first step and Finish are clicked by the program, never by the user.
    Button1 = new QPushButton(this);
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, [this] { guard([this] { Button1Click(); }); });
    BitBtn1 = new QPushButton(this);
    BitBtn1->hide();
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guard([this] { BitBtn1Click(); }); });

    resize(575, 421);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    lt::MainWindowWidgets w;
    w.window = this;
    w.addressList = Edit1;
    w.interval = SpinEdit1;
    w.ownSite = CheckBox1;
    w.filter = CheckBox2;
    w.mustContain = Memo1;
    w.mustNotContain = Memo2;
    w.results = results_;
    w.panels = StatusBar1;
    w.chooseList = SpeedButton1;
    w.start = SpeedButton2;
    w.stop = SpeedButton3;
    w.continueSearch = SpeedButton4;
    view_ = new lt::MainWindowView(w, this);
    stepTimer_ = std::make_unique<lt::QtStepTimer>(*Timer1);

    lt::MainWindowTray::Commands tray;
    tray.restore = [this] { guard([this] { N17Click(); }); };
    tray.minimise = [this] { guard([this] { N18Click(); }); };
    tray.contact = [this] { guard([this] { N14Click(); }); };
    tray.homePage = [this] { guard([this] { N20Click(); }); };
    tray.about = [this] { guard([this] { N15Click(); }); };
    tray.exit = [this] { guard([this] { N23Click(); }); };
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
        connect(b, &QToolButton::clicked, this, [this, handler] { guard([this, handler] { (this->*handler)(); }); });
        row->addWidget(b);
        return b;
    };
    SpeedButton1 = button("网址", "选择网址列表", &TForm1::N1Click);
    SpeedButton2 = button("搜索", "开始链接搜索", &TForm1::N2Click);
    SpeedButton3 = button("终止", "终止链接搜索", &TForm1::N3Click);
    SpeedButton4 = button("继续", "继续搜索链接", &TForm1::N4Click);
    SpeedButton5 = button("保存", "保存搜索结果", &TForm1::N5Click);
    SpeedButton6 = button("创建", "创建BBS网址列表", &TForm1::N28Click);
    SpeedButton8 = button("进程", "保存搜索进程", &TForm1::SpeedButton8Click);
    SpeedButton9 = button("关于", "关于本软件", &TForm1::N15Click);
    SpeedButton10 = button("退出", "退出软件系统", &TForm1::SpeedButton10Click);
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
    SpinEdit1 = new QSpinBox(panel);
    SpinEdit1->setRange(1, 60);
    SpinEdit1->setValue(5);
    SpinEdit1->setFixedWidth(50);
    row->addWidget(SpinEdit1);
    row->addSpacing(8);
    row->addWidget(new QLabel(QStringLiteral("网址列表："), panel));
    Edit1 = new QLineEdit(panel);
    Edit1->setReadOnly(true);
    row->addWidget(Edit1, 1);
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
    CheckBox1 = new QCheckBox(QStringLiteral("只搜索本站链接"), panel);
    CheckBox2 = new QCheckBox(QStringLiteral("启用网址筛选"), panel);
    for (QCheckBox* box : {CheckBox1, CheckBox2}) {
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
    Memo1 = memo("链接须包含", "http://");
    Memo2 = memo("链接不包含", "#");
    return panel;
}

QWidget* TForm1::buildBody()
{
    auto* body = new QWidget(this);
    auto* row = new QHBoxLayout(body);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);

    results_ = new lt::ResultListModel(this);
    ListView1 = new QTreeView(body);
    ListView1->setModel(results_);
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setFixedWidth(201);
    ListView1->header()->setStretchLastSection(false);
    ListView1->header()->resizeSection(0, 175);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(results_, &lt::ResultListModel::published, ListView1,
            [this](int row) { ListView1->scrollTo(results_->index(row, 0)); });
    row->addWidget(ListView1);

    WebBrowser1 = new QWebEngineView(body);
    auto* inner = bevel(WebBrowser1, QFrame::Sunken, body);
    row->addWidget(bevel(inner, QFrame::Raised, body), 1);
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
        StatusBar1[static_cast<std::size_t>(i)] = panel;
    }
    StatusBar1[6]->setText(QString::fromUtf8(lt::kStatusContact));
}

void TForm1::guard(const std::function<void()>& handler)
{
    lt::guarded(this, handler);
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
    controller_ = std::make_unique<lt::SearchController>(*view_, *stepTimer_, lt::ProgressFile(services_.programFolder),
                                                         *found_, std::move(env));
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
        dialog.setNameFilters({QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*.*)")});
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setOption(QFileDialog::ReadOnly, false);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (!chosen)
        return;
    // The same form as an address list, so the file can feed the next search.
    std::string text;
    for (const QString& link : results_->captions()) {
        text += link.toStdString();
        text += "\r\n";
    }
    lt::writeFileAtomic(chosen->toStdString(), text, lt::WriteErrors::Runtime);
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
        ListView1->setFocus();
    }
}

void TForm1::N15Click()
{
    if (about_)
        about_->exec();
}

void TForm1::N28Click()
{
    if (bbs_)
        bbs_->exec();
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
    Timer1->stop();
    guard([this] { FormDestroy(); });
    event->accept();
    QApplication::quit();
}
