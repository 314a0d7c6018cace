#include "app/about/Unit4.h"

#include "app/about/BevelPanel.h"
#include "app/about/JpegPicture.h"
#include "base/Error.h"
#include "components/cwHyperLink.h"
#include "ui/AppInfo.h"
#include "ui/WindowLook.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The pictures are built in; should one be damaged the box still opens,
// only without it.
QPixmap builtInPicture(const QString& name)
{
    try {
        return QPixmap::fromImage(lt::loadJpeg(name));
    } catch (const lt::Error&) {
        return {};
    }
}

QLabel* blueLabel(QWidget* parent, const char* text, const QFont& font, int left, int top)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(pal);
    label->move(left, top);
    label->adjustSize();
    return label;
}

TcwHyperLink* link(QWidget* parent, const char* caption, const char* url, int left, int top)
{
    auto* l = new TcwHyperLink(parent);
    l->move(left, top);
    l->SetCaption(QString::fromUtf8(caption));
    l->SetURL(QString::fromUtf8(url));
    return l;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QString::fromUtf8("关于本软件"));
    setWindowIcon(lt::programIcon());
    setFont(lt::pixelFont(QStringLiteral("MS Sans Serif"), 11));
    setSizeGripEnabled(false);
    lt::setOuterSize(*this, QSize(280, 217));

    Panel1 = new lt::BevelPanel(this);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(Panel1);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setPixmap(builtInPicture(QStringLiteral(":/about/logo.jpg")));
    ProgramIcon->move(20, 8);
    ProgramIcon->adjustSize();

    ProductName = blueLabel(Panel1, "拾链宝", lt::songTiFont(12, true), 104, 16);
    Version = blueLabel(Panel1, "Ver 2.5", lt::pixelFont(QStringLiteral("Arial"), 13), 208, 14);

    Image1 = new QLabel(Panel1);
    Image1->setPixmap(builtInPicture(QStringLiteral(":/about/banner.jpg")));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->move(20, 64);
    Image1->adjustSize();

    cwHyperLink1 = link(Panel1, lt::kHomePage, lt::kHomePage, 16, 88);
    cwHyperLink3 = link(Panel1, lt::kSecondPageCaption, lt::kSecondPage, 16, 108);
    cwHyperLink2 = link(Panel1, lt::kContactLine, lt::kContactMail, 16, 130);

    OKButton = new QPushButton(QString::fromUtf8("确 定"), this);
    OKButton->setFont(lt::songTiFont());
    OKButton->setGeometry(207, 156, 50, 25);
    OKButton->setDefault(true);
    OKButton->raise();
    OKButton->setFocus();
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(OKButton); });
}

TForm2::~TForm2() = default;

void TForm2::OKButtonClick(QObject*)
{
    close();
}

void TForm2::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the window that opened it.
    lt::centreOnScreen(*this);
    OKButton->setFocus();
    QDialog::showEvent(event);
}
