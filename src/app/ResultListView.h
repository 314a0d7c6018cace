#pragma once
#include <QTreeView>

class QResizeEvent;

namespace lt {

// The result list's view: one column whose width follows the list's, with
// the gap the window's default layout gives it (list 201 pixels wide, column
// 175), so that a wider list shows more of every address.
class ResultListView : public QTreeView {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 201;
    static constexpr int kDefaultColumnWidth = 175;

    explicit ResultListView(QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace lt
