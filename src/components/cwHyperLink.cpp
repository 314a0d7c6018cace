#include "components/cwHyperLink.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

const QColor TcwHyperLink::clBlue(0, 0, 255);
const QColor TcwHyperLink::clRed(255, 0, 0);
const QColor TcwHyperLink::clFuchsia(255, 0, 255);

TcwHyperLink::TcwHyperLink(QWidget* parent) : QWidget(parent)
{
    FURL = QString::fromLatin1(kDefaultURL);
    FCaption = FURL;
    resize(100, 10);
    FFont = font();
    FFont.setBold(true);
    FFont.setUnderline(true);
    FRestColor = clBlue;
    FTextColor = clBlue;
    SetColor(palette().color(QPalette::Button));
    setCursor(Qt::PointingHandCursor);
    update();
}

TcwHyperLink::~TcwHyperLink() = default;

void TcwHyperLink::SetFontName(const QString& value)
{
    if (value == FFontName)
        return;
    FFontName = value;
    FFont.setFamily(value);
    fitToCaption();
    update();
}

void TcwHyperLink::SetColor(const QColor& value)
{
    if (value == FColor)
        return;
    FColor = value;
    update();
}

void TcwHyperLink::SetCaption(const QString& value)
{
    if (value == FCaption)
        return;
    FCaption = value;
    fitToCaption();
    update();
}

void TcwHyperLink::SetURL(const QString& value)
{
    FURL = value; // shown nowhere: no repaint
}

QSize TcwHyperLink::sizeHint() const
{
    const QFontMetrics fm(FFont);
    return {fm.horizontalAdvance(FCaption) + 6, fm.height() + 2};
}

void TcwHyperLink::fitToCaption()
{
    const QSize s = sizeHint();
    if (size() != s)
        resize(s);
}

void TcwHyperLink::showEvent(QShowEvent* event)
{
    fitToCaption();
    QWidget::showEvent(event);
}

void TcwHyperLink::paintEvent(QPaintEvent* event)
{
    fitToCaption();
    QPainter p(this);
    p.fillRect(event->rect(), FColor);
    p.setFont(FFont);
    p.setPen(FTextColor);
    const QFontMetrics fm(FFont);
    p.drawText(3, 1 + fm.ascent(), FCaption);
}

void TcwHyperLink::enterEvent(QEnterEvent* event)
{
    FTextColor = clRed;
    update();
    QWidget::enterEvent(event);
}

void TcwHyperLink::leaveEvent(QEvent* event)
{
    FTextColor = FRestColor;
    update();
    QWidget::leaveEvent(event);
}

void TcwHyperLink::mousePressEvent(QMouseEvent* event)
{
    // Opened on the press itself; the result is not looked at.
    if (!FDesignMode && event->button() == Qt::LeftButton) {
        QDesktopServices::openUrl(QUrl(FURL));
        FRestColor = clFuchsia;
    }
    QWidget::mousePressEvent(event);
}

void TcwHyperLink::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click opens nothing; Qt's default would
    // treat it as another press.
    event->accept();
}
