#pragma once
#include "search/StatusPanels.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolButton;
class QTreeView;
class QWebEngineView;

namespace lt {

// The main window's controls, by their fixed names. The window makes them;
// its view binding reads them.
struct MainWindowControls {
    QToolButton* SpeedButton1 = nullptr;  // 网址
    QToolButton* SpeedButton2 = nullptr;  // 搜索
    QToolButton* SpeedButton3 = nullptr;  // 终止
    QToolButton* SpeedButton4 = nullptr;  // 继续
    QToolButton* SpeedButton5 = nullptr;  // 保存
    QToolButton* SpeedButton6 = nullptr;  // 创建
    QToolButton* SpeedButton8 = nullptr;  // 进程
    QToolButton* SpeedButton9 = nullptr;  // 关于
    QToolButton* SpeedButton10 = nullptr; // 退出
    QSpinBox* SpinEdit1 = nullptr;        // interval
    QLineEdit* Edit1 = nullptr;           // address list
    QCheckBox* CheckBox1 = nullptr;       // own site only
    QCheckBox* CheckBox2 = nullptr;       // filter
    QPlainTextEdit* Memo1 = nullptr;      // must contain
    QPlainTextEdit* Memo2 = nullptr;      // must not contain
    QTreeView* ListView1 = nullptr;       // results
    QWebEngineView* WebBrowser1 = nullptr;
    std::array<QLabel*, kStatusPanelCount> StatusBar1 {};
    QTimer* Timer1 = nullptr;             // step timer
    QPushButton* Button1 = nullptr;       // first step, clicked by the program
    QPushButton* BitBtn1 = nullptr;       // Finish, clicked by the program
};

} // namespace lt
