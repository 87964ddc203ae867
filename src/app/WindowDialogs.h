#pragma once

#include <QtCore/QString>

#include <optional>

class QMessageBox;
class QWidget;

namespace travonix {

// The window's modal boxes and choosers. The window asks through this, so a
// test can answer from a script while the rest of the window is real.
class WindowDialogs {
  public:
    virtual ~WindowDialogs() = default;

    // A box with an OK button and no icon.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& title) = 0;
    // A box with OK and one more button, `action`, no icon; true when that
    // one was pressed.
    virtual bool offerAction(QWidget* parent, const QString& text, const QString& title,
                             const QString& action) = 0;
    // Yes and No, no icon; true means Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                          bool yesIsDefault) = 0;
    // std::nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& prompt,
                                           const QString& title, const QString& defaultText) = 0;
    // The ELF file to load; "" when cancelled.
    virtual QString chooseElfFile(QWidget* parent) = 0;
    // A folder, starting at startFolder; "" when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& title,
                                 const QString& startFolder) = 0;
    // The disassembler program; "" when cancelled.
    virtual QString chooseProgram(QWidget* parent) = 0;
};

// Widens a box so its whole title stays in view.
void keepTitleWhole(QMessageBox& box, const QString& title);

// The platform's own dialogs.
class QtWindowDialogs : public WindowDialogs {
  public:
    void showMessage(QWidget* parent, const QString& text, const QString& title) override;
    bool offerAction(QWidget* parent, const QString& text, const QString& title,
                     const QString& action) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& title,
                  bool yesIsDefault) override;
    std::optional<QString> askText(QWidget* parent, const QString& prompt, const QString& title,
                                   const QString& defaultText) override;
    // Titled "Select ELF File", "Apps (*.elf)" and "All files (*.*)", the
    // extension "elf" added to a name typed without one. It opens with the
    // file chosen last.
    QString chooseElfFile(QWidget* parent) override;
    QString chooseFolder(QWidget* parent, const QString& title,
                         const QString& startFolder) override;
    QString chooseProgram(QWidget* parent) override;

  private:
    QString lastElfFile_;
};

} // namespace travonix
