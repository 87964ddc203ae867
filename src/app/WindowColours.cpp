#include "app/WindowColours.h"

#include <QtWidgets/QWidget>

namespace travonix {

namespace {

// A style sheet holds on every platform style, where a palette is ignored by
// some.
constexpr const char* kWindowStyle = R"(
QMainWindow, QWidget#centralArea, QStatusBar { background-color: rgb(0, 0, 255); color: rgb(255, 255, 0); }
QLabel, QCheckBox, QRadioButton, QGroupBox { background-color: rgb(0, 0, 255); color: rgb(255, 255, 0); }
QGroupBox { border: 1px solid rgb(255, 255, 0); margin-top: 1.2em; padding-top: 0.3em; }
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }
QLineEdit { background-color: rgb(0, 0, 255); color: rgb(255, 255, 0); border: 1px solid rgb(255, 255, 0); padding: 1px 3px; }
QListView, QTableView { background-color: rgb(0, 0, 192); color: rgb(255, 255, 0); border: 1px solid rgb(255, 255, 0); gridline-color: rgb(0, 0, 255); }
QListView::item:selected, QTableView::item:selected { background-color: rgb(255, 255, 0); color: rgb(0, 0, 192); }
QHeaderView::section { background-color: rgb(0, 0, 255); color: rgb(255, 255, 0); border: 1px solid rgb(255, 255, 0); padding: 1px 4px; }
QPushButton { background-color: rgb(0, 255, 255); color: rgb(0, 0, 0); border: 1px solid rgb(0, 0, 0); padding: 4px 12px; }
QPushButton:disabled { background-color: rgb(150, 200, 200); color: rgb(40, 40, 40); }
QCheckBox::indicator, QRadioButton::indicator { width: 11px; height: 11px; border: 1px solid rgb(255, 255, 0); background-color: rgb(0, 0, 255); }
QRadioButton::indicator { border-radius: 6px; }
QCheckBox::indicator:checked { background-color: rgb(255, 255, 0); border: 3px solid rgb(0, 0, 255); outline: none; }
QRadioButton::indicator:checked { background-color: qradialgradient(cx: 0.5, cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 rgb(255, 255, 0), stop: 0.5 rgb(255, 255, 0), stop: 0.6 rgb(0, 0, 255), stop: 1 rgb(0, 0, 255)); }
QCheckBox:disabled, QRadioButton:disabled, QLineEdit:disabled, QLabel:disabled { color: rgb(225, 225, 235); }
QCheckBox::indicator:disabled, QRadioButton::indicator:disabled { border-color: rgb(225, 225, 235); }
QLineEdit:focus, QListView:focus, QTableView:focus, QComboBox:focus { border: 2px solid rgb(255, 255, 255); }
QPushButton:focus { border: 2px solid rgb(255, 255, 255); }
QCheckBox:focus, QRadioButton:focus { color: rgb(255, 255, 255); background-color: rgb(0, 0, 160); }
QDockWidget { color: rgb(255, 255, 0); }
QMenuBar { background-color: rgb(255, 255, 0); color: rgb(0, 0, 0); }
QMenu#fileMenu { background-color: rgb(0, 255, 255); color: rgb(0, 0, 0); }
QMenu#fileMenu::item:selected { background-color: rgb(0, 0, 255); color: rgb(255, 255, 0); }
)";

} // namespace

void applyWindowColours(QWidget& window, bool desktop) {
    window.setStyleSheet(desktop ? QString() : QString::fromLatin1(kWindowStyle));
}

} // namespace travonix
