#include "app/DisassemblerChoice.h"

#include "app/ControlState.h"

#include "app/WindowText.h"

#include <QtCore/QSignalBlocker>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>

namespace travonix {

namespace {

QRadioButton* option(QWidget* parent, const char* caption, const char* name, const char* tip) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(QString::fromLatin1(tip));
    return button;
}

} // namespace

DisassemblerChoice::DisassemblerChoice(QWidget* parent, Actions actions)
    : QGroupBox(QStringLiteral("Toolchain"), parent), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("disassemblerChoice"));
    mplab_ = option(this, "MPLab", "mplab", "Click if you have MPLab installed");
    mplabx_ = option(this, "MPLabX", "mplabx", "Click if you have MPLabX installed");
    other_ = option(this, "Other", "otherDisassembler",
                    "Another objdump, such as Debian's mipsel-linux-gnu-objdump: give its "
                    "command below");
    group_ = new QButtonGroup(this);
    for (QRadioButton* button : {mplab_, mplabx_, other_})
        group_->addButton(button);
    buttonFor(kWindowOpening.toolchain)->setChecked(true);

    command_ = new QComboBox(this);
    command_->setObjectName(QStringLiteral("disassemblerCommand"));
    command_->setEditable(true);
    command_->setInsertPolicy(QComboBox::NoInsert);
    command_->setToolTip(QStringLiteral(
        "The disassembler command: the program and its options (the ELF file is added); "
        "press Enter to use it"));
    command_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    command_->setMinimumContentsLength(16);
    browse_ = new QPushButton(QStringLiteral("&Browse..."), this);
    browse_->setObjectName(QStringLiteral("browseDisassembler"));
    browse_->setToolTip(QStringLiteral("Choose the disassembler program"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(mplab_, 0, 0);
    layout->addWidget(mplabx_, 0, 1);
    layout->addWidget(other_, 0, 2);
    layout->addWidget(command_, 1, 0, 1, 2);
    layout->addWidget(browse_, 1, 2);

    const auto onSelected = [this](QRadioButton* button, std::function<void()> chosen) {
        connect(button, &QRadioButton::toggled, this, [chosen = std::move(chosen)](bool on) {
            if (on)
                chosen();
        });
    };
    onSelected(mplab_, [this] { actions_.toolchainChosen(Toolchain::MPLab); });
    onSelected(mplabx_, [this] { actions_.toolchainChosen(Toolchain::MPLabX); });
    onSelected(other_, [this] { actions_.otherChosen(); });
    connect(command_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { actions_.commandGiven(command_->currentText()); });
    connect(command_, &QComboBox::activated, this,
            [this](int index) { actions_.commandGiven(command_->itemText(index)); });
    connect(browse_, &QPushButton::clicked, this, [this] { actions_.browse(); });
}

QRadioButton* DisassemblerChoice::buttonFor(Toolchain toolchain) const {
    return toolchain == Toolchain::MPLab    ? mplab_
           : toolchain == Toolchain::MPLabX ? mplabx_
                                            : other_;
}

void DisassemblerChoice::showChoice(Toolchain toolchain, const std::string& command) {
    QRadioButton* chosen = buttonFor(toolchain);
    {
        const QSignalBlocker blocker(chosen);
        chosen->setChecked(true);
    }
    const QString text = shown(command).trimmed();
    if (command_->currentText() != text) {
        const QSignalBlocker blocker(command_);
        command_->setEditText(text);
        command_->lineEdit()->setCursorPosition(0); // the program's name in view
    }
}

void DisassemblerChoice::offer(const std::vector<std::string>& commands) {
    const QSignalBlocker blocker(command_);
    const QString typed = command_->currentText();
    command_->clear();
    for (const std::string& command : commands)
        command_->addItem(shown(command));
    command_->setEditText(typed);
}

void DisassemblerChoice::setWorkEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{mplab_, mplabx_, other_, command_, browse_})
        control->setEnabled(enabled);
}

std::vector<QWidget*> DisassemblerChoice::focusOrder() const {
    return {mplab_, mplabx_, other_, command_, browse_};
}

} // namespace travonix
