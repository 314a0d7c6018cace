#include "cache/DelIECache.h"

#include "cache/BrowserDataCleaner.h"
#include "ui/WindowLook.h"

#include <QToolButton>

Tdelform::Tdelform(lt::BrowserDataStore& store, QWidget* parent) : QDialog(parent), store_(store)
{
    setWindowTitle(QStringLiteral("清空IE历史数据"));
    lt::setOuterSize(*this, QSize(202, 111), lt::Sizing::Fixed);
    setFont(lt::songTiFont());
    lt::centreOnScreen(*this);

    SpeedButton4 = new QToolButton(this);
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    SpeedButton4->setAutoRaise(true);
    SpeedButton4->setGeometry(58, 20, 70, 37);
    SpeedButton4->setText(QStringLiteral("清理"));
    SpeedButton4->setIconSize(QSize(32, 32));
    SpeedButton4->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(SpeedButton4, &QToolButton::clicked, this, [this] { N3Click(SpeedButton4); });
}

void Tdelform::clean()
{
    SpeedButton4->click();
}

void Tdelform::N3Click(QObject*)
{
    lt::BrowserDataCleaner(store_).clean();
}
