#pragma once
#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QObject;
class QShowEvent;
class QToolButton;

// Window that writes lists of numbered forum page addresses into a text file,
// either with one counter times a growth rate or with two counters. Created
// hidden at start-up and shown modally (lt::execModal) whenever the user asks;
// the fields keep their texts between openings, and every opening starts at
// Edit1.
namespace lt {
class BbsListGenerator;
}

class TbbsForm : public QDialog {
    Q_OBJECT
public:
    explicit TbbsForm(QWidget* parent = nullptr);
    ~TbbsForm() override;

    // Asks for the output file; nullopt when the user cancels. Defaults to
    // SaveDialog1, which proposes the name chosen last. Tests replace it.
    std::function<std::optional<QString>()> chooseFile;

    void SpeedButton1Click(QObject* sender);
    void SpeedButton2Click(QObject* sender);

    // One-counter generator.
    QToolButton* SpeedButton1;
    QLabel* Label1;
    QLabel* Label2; // running count
    QLabel* Label15;
    QLineEdit* Edit12; // growth rate
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLineEdit* Edit1; // prefix
    QLineEdit* Edit2; // start count
    QLineEdit* Edit3; // end count
    QLineEdit* Edit4; // suffix

    QFrame* Bevel1;

    // Two-counter generator.
    QLabel* Label7; // heading, then the running count
    QToolButton* SpeedButton2;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label11;
    QLineEdit* Edit5;  // front part
    QLineEdit* Edit6;  // first counter's start
    QLineEdit* Edit7;  // first counter's end
    QLineEdit* Edit9;  // middle part
    QLineEdit* Edit10; // second counter's start
    QLineEdit* Edit11; // second counter's end; not read by either generator
    QLineEdit* Edit8;  // back part

    QFileDialog* SaveDialog1;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class FieldTexts;

    std::optional<QString> runSaveDialog();
    void showCount(QLabel* label, std::int64_t count);
    // Asks for the file and runs one generator, its count shown in label.
    void generate(QLabel* label, void (lt::BbsListGenerator::*write)(const std::string&));

    std::unique_ptr<FieldTexts> fields_;
    QString lastFile_;
};
