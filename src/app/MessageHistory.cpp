#include "app/MessageHistory.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QStringListModel>
#include <QtWidgets/QDockWidget>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListView>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QStatusBar>

namespace travonix {

MessageHistory::MessageHistory(QMainWindow& window) {
    dock_ = new QDockWidget(QStringLiteral("Messages"), &window);
    dock_->setObjectName(QStringLiteral("messageHistory"));
    dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                       QDockWidget::DockWidgetFloatable);
    model_ = new QStringListModel(dock_);
    list_ = new QListView(dock_);
    list_->setObjectName(QStringLiteral("messageList"));
    list_->setModel(model_);
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setToolTip(QStringLiteral("Every message of the last action"));
    dock_->setWidget(list_);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock_);

    // A normal widget of the status bar: a status text shown over it hides
    // it for a moment; once a menu's tip clears that text, it is back.
    summary_ = new QLabel(&window);
    summary_->setObjectName(QStringLiteral("statusSummary"));
    // Long texts are cut at the window's edge instead of widening it.
    summary_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    window.statusBar()->addWidget(summary_, 1);
}

void MessageHistory::add(const QString& text) {
    if (fresh_) {
        lines_.clear();
        fresh_ = false;
    }
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r?\n"))))
        if (!line.trimmed().isEmpty())
            lines_.push_back(line);
    changed_ = true;
}

void MessageHistory::summarize(const QString& text) {
    summary_->setText(text);
    add(text);
}

void MessageHistory::show() {
    if (!changed_)
        return;
    changed_ = false;
    model_->setStringList(lines_);
    list_->scrollToBottom();
    QStringList tip = lines_.mid(0, kTooltipLines);
    if (lines_.size() > kTooltipLines)
        tip.push_back(QStringLiteral("and %1 more").arg(lines_.size() - kTooltipLines));
    summary_->setToolTip(tip.join(QLatin1Char('\n')));
}

} // namespace travonix
