#pragma once
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace lt {

// The program's standard boxes. Each is modal; a test can answer them
// through the hook instead of a person.
enum class BoxKind { Information, Plain, Confirmation, Error, Input };

struct BoxRequest {
    BoxKind kind;
    QString caption;
    QString text;
    QString initial; // input dialog only
};

struct BoxAnswer {
    bool accepted = true; // "确定" / "(&Y)是"
    QString text;         // input dialog only
};

using BoxHook = std::function<BoxAnswer(const BoxRequest&)>;
// Installs a hook that answers every box without showing it; an empty hook
// restores the real boxes.
void setBoxHook(BoxHook hook);

// Information icon, caption "信息", button "确定".
void informationBox(QWidget* parent, const QString& text);
// Application title as caption, no icon, button "确定".
void plainMessageBox(QWidget* parent, const QString& text);
// Question icon, caption "确认", buttons "(&Y)是" and "(&N)否"; true for Yes.
bool confirmationBox(QWidget* parent, const QString& text);
// Application title, error icon, one OK button; the message after errorBoxText.
void errorBox(QWidget* parent, const QString& message);
// Caller's caption and prompt, one edit field, buttons "确定" and "放弃".
std::optional<QString> inputDialog(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& initial);

} // namespace lt
