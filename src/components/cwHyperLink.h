#pragma once
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

// One line of text in the look of a web link: bold, underlined, blue, red
// while the pointer is over it. A left press opens its address with the
// desktop's handler (web page or mail message); from then on its resting
// colour is fuchsia. It always sizes itself to its caption.
class TcwHyperLink : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kDefaultURL = "http://www.example.org/cwhyperlink/";
    static const QColor clBlue;
    static const QColor clRed;
    static const QColor clFuchsia;

    explicit TcwHyperLink(QWidget* parent = nullptr);
    ~TcwHyperLink() override;

    const QString& FontName() const { return FFontName; }
    void SetFontName(const QString& value);
    const QColor& Color() const { return FColor; }
    void SetColor(const QColor& value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    const QString& URL() const { return FURL; }
    void SetURL(const QString& value);

    // While edited in a designer a press opens nothing.
    void SetDesignMode(bool value) { FDesignMode = value; }
    bool DesignMode() const { return FDesignMode; }

    const QColor& RestColor() const { return FRestColor; }
    const QColor& TextColor() const { return FTextColor; }
    const QFont& CanvasFont() const { return FFont; }
    // The caption's size: text width + 6, text height + 2.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fitToCaption();

    QColor FRestColor;
    QString FURL;
    QString FCaption;
    QColor FColor;
    QString FFontName;
    QFont FFont;
    QColor FTextColor;
    bool FDesignMode = false;
};
