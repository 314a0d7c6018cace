#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TcwHyperLink;

namespace lt {
class BevelPanel;
}

// The About box: product name, version, the maker's logo and credit line,
// and three links. Created hidden once and shown modally (lt::execModal) as
// often as asked; it stays above other windows while shown.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    lt::BevelPanel* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;
    QLabel* Image1;
    TcwHyperLink* cwHyperLink1;
    TcwHyperLink* cwHyperLink3;
    TcwHyperLink* cwHyperLink2;
    QPushButton* OKButton;

    void OKButtonClick(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;
};
