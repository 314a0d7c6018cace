#include "app/ResultListModel.h"

#include <QTimer>

namespace lt {

ResultListModel::ResultListModel(QObject* parent) : QAbstractListModel(parent) {}

int ResultListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(items_.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return items_[static_cast<std::size_t>(index.row())];
    return {};
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("网页链接列表");
    return {};
}

int ResultListModel::append(const QString& caption)
{
    pending_.push_back(caption);
    scheduleFlush();
    return count() - 1;
}

void ResultListModel::requestVisible(int row)
{
    visibleRow_ = row;
    scheduleFlush();
}

void ResultListModel::clear()
{
    beginResetModel();
    items_.clear();
    pending_.clear();
    visibleRow_ = -1;
    endResetModel();
}

void ResultListModel::scheduleFlush()
{
    if (flushQueued_)
        return;
    flushQueued_ = true;
    QTimer::singleShot(0, this, &ResultListModel::flush);
}

void ResultListModel::flush()
{
    flushQueued_ = false;
    if (!pending_.empty()) {
        const int first = static_cast<int>(items_.size());
        beginInsertRows({}, first, first + static_cast<int>(pending_.size()) - 1);
        items_.insert(items_.end(), std::make_move_iterator(pending_.begin()),
                      std::make_move_iterator(pending_.end()));
        pending_.clear();
        endInsertRows();
    }
    if (visibleRow_ >= 0 && visibleRow_ < static_cast<int>(items_.size())) {
        int row = visibleRow_;
        visibleRow_ = -1;
        emit published(row);
    }
}

QStringList ResultListModel::captions() const
{
    QStringList out;
    out.reserve(count());
    for (const auto& s : items_)
        out << s;
    for (const auto& s : pending_)
        out << s;
    return out;
}

} // namespace lt
