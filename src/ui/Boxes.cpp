#include "ui/Boxes.h"

#include "ui/AppInfo.h"
#include "ui/ModalWindows.h"
#include "ui/WindowLook.h"
#include "base/Error.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace lt {

namespace {
BoxHook& hook()
{
    static BoxHook h;
    return h;
}

// A message box sizes itself to its text alone; a short text under a long
// caption would leave the caption cut off in the title bar.
int execWholeCaption(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid)
        grid->addItem(new QSpacerItem(widthForCaption(box.windowTitle()), 0, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return execModal(box);
}

int showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    return execWholeCaption(box);
}
} // namespace

void setBoxHook(BoxHook h)
{
    hook() = std::move(h);
}

void informationBox(QWidget* parent, const QString& text)
{
    if (hook()) {
        hook()({BoxKind::Information, QStringLiteral("信息"), text, {}});
        return;
    }
    showBox(parent, QMessageBox::Information, QStringLiteral("信息"), text);
}

void plainMessageBox(QWidget* parent, const QString& text)
{
    const QString caption = QString::fromUtf8(kApplicationTitle);
    if (hook()) {
        hook()({BoxKind::Plain, caption, text, {}});
        return;
    }
    showBox(parent, QMessageBox::NoIcon, caption, text);
}

bool confirmationBox(QWidget* parent, const QString& text)
{
    if (hook())
        return hook()({BoxKind::Confirmation, QStringLiteral("确认"), text, {}}).accepted;
    QMessageBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("(&Y)是"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("(&N)否"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    execWholeCaption(box);
    return box.clickedButton() == yes;
}

void errorBox(QWidget* parent, const QString& message)
{
    const QString text = QString::fromStdString(errorBoxText(message.toStdString()));
    const QString caption = QString::fromUtf8(kApplicationTitle);
    if (hook()) {
        hook()({BoxKind::Error, caption, text, {}});
        return;
    }
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    execWholeCaption(box);
}

std::optional<QString> inputDialog(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& initial)
{
    if (hook()) {
        BoxAnswer a = hook()({BoxKind::Input, caption, prompt, initial});
        if (!a.accepted)
            return std::nullopt;
        return a.text;
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setMinimumWidth(widthForCaption(caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    auto* edit = new QLineEdit(initial, &dialog);
    edit->selectAll();
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("放弃"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (execModal(dialog) != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

} // namespace lt
