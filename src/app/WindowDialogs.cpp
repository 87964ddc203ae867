#include "app/WindowDialogs.h"

#include <QtWidgets/QFileDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

namespace travonix {

namespace {

// QMessageBox turns "\r\n" into two breaks; the steps' texts use it for one.
QString oneBreakPerLine(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

// A box as wide as its title needs, so the window manager does not cut it
// short ("Trav...aker").
void keepTitleWhole(QMessageBox& box, const QString& title) {
    const int titleWidth = box.fontMetrics().horizontalAdvance(title) + 160;
    box.setStyleSheet(
        QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(titleWidth));
}

void QtWindowDialogs::showMessage(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, title, oneBreakPerLine(text), QMessageBox::Ok, parent);
    keepTitleWhole(box, title);
    box.exec();
}

bool QtWindowDialogs::offerAction(QWidget* parent, const QString& text, const QString& title,
                                  const QString& action) {
    QMessageBox box(QMessageBox::NoIcon, title, oneBreakPerLine(text), QMessageBox::Ok, parent);
    keepTitleWhole(box, title);
    QPushButton* chosen = box.addButton(action, QMessageBox::ActionRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == chosen;
}

bool QtWindowDialogs::askYesNo(QWidget* parent, const QString& text, const QString& title,
                               bool yesIsDefault) {
    QMessageBox box(QMessageBox::NoIcon, title, oneBreakPerLine(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    keepTitleWhole(box, title);
    box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtWindowDialogs::askText(QWidget* parent, const QString& prompt,
                                                const QString& title, const QString& defaultText) {
    bool ok = false;
    QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtWindowDialogs::chooseElfFile(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Select ELF File"));
    dialog.setObjectName(QStringLiteral("elfFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The name is checked when the disassembly starts, not here.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Apps (*.elf)"), QStringLiteral("All files (*.*)")});
    dialog.setDefaultSuffix(QStringLiteral("elf"));
    if (!lastElfFile_.isEmpty())
        dialog.selectFile(lastElfFile_);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    lastElfFile_ = dialog.selectedFiles().front();
    return lastElfFile_;
}

QString QtWindowDialogs::chooseFolder(QWidget* parent, const QString& title,
                                      const QString& startFolder) {
    return QFileDialog::getExistingDirectory(parent, title, startFolder);
}

QString QtWindowDialogs::chooseProgram(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Select the disassembler"),
                                        QString(),
                                        QStringLiteral("objdump (*objdump*);;All files (*)"));
}

} // namespace travonix
