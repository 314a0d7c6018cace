#pragma once
#include <QAbstractListModel>
#include <QStringList>
#include <vector>

namespace lt {

// The result list's items. Appends made while the harvest runs are gathered
// and handed to the view in one insertion when control returns to the event
// loop, so a page of 100,000 links does not cost 100,000 view updates.
class ResultListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Index the item will have once published.
    int append(const QString& caption);
    void clear();
    // Publishes pending items now.
    void flush();
    // Every caption, pending ones included.
    QStringList captions() const;
    int count() const { return static_cast<int>(items_.size() + pending_.size()); }

signals:
    // After a flush that published rows; the last row asked to be visible.
    void published(int visibleRow);

public slots:
    void requestVisible(int row);

private:
    void scheduleFlush();

    std::vector<QString> items_;
    std::vector<QString> pending_;
    int visibleRow_ = -1;
    bool flushQueued_ = false;
};

} // namespace lt
