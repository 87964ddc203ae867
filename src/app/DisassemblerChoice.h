#pragma once

#include "core/Options.h"

#include <QtWidgets/QGroupBox>

#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace travonix {

// The disassembler: the two vendor toolchains, or "Other" with a command of
// the user's own, typed (then Enter), picked from what was found on the
// search path, or browsed for. What it shows is set from code with its
// signals blocked; only the user's actions reach the callbacks.
class DisassemblerChoice : public QGroupBox {
  public:
    struct Actions {
        std::function<void(Toolchain)> toolchainChosen; // MPLab or MPLabX
        std::function<void()> otherChosen;
        std::function<void(const QString&)> commandGiven;
        std::function<void()> browse;
    };

    DisassemblerChoice(QWidget* parent, Actions actions);

    // The chosen toolchain ("Other" for none) and the command in use.
    void showChoice(Toolchain toolchain, const std::string& command);
    // The commands offered in the field's list.
    void offer(const std::vector<std::string>& commands);
    void setWorkEnabled(bool enabled);
    // Its controls in the order Tab visits them.
    [[nodiscard]] std::vector<QWidget*> focusOrder() const;

  private:
    [[nodiscard]] QRadioButton* buttonFor(Toolchain toolchain) const;
    Actions actions_;
    QRadioButton* mplab_ = nullptr;
    QRadioButton* mplabx_ = nullptr;
    QRadioButton* other_ = nullptr;
    QButtonGroup* group_ = nullptr;
    QComboBox* command_ = nullptr;
    QPushButton* browse_ = nullptr;
};

} // namespace travonix
