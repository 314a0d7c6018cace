#include "app/ResultListView.h"

#include <QHeaderView>
#include <QResizeEvent>

namespace lt {

ResultListView::ResultListView(QWidget* parent) : QTreeView(parent)
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    header()->setStretchLastSection(false);
    header()->resizeSection(0, kDefaultColumnWidth);
}

void ResultListView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    // The event carries the viewport's size; the column follows the list's.
    header()->resizeSection(0, qMax(0, width() - (kDefaultWidth - kDefaultColumnWidth)));
}

} // namespace lt
