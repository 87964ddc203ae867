#pragma once

#include <QtWidgets/QDialog>

namespace travonix {

class WindowDialogs;

// The About box: the product's name, version, description and rights
// notice, with "OK" and "&System Info...".
class AboutBox : public QDialog {
  public:
    AboutBox(WindowDialogs& dialogs, QWidget* parent = nullptr);

  private:
    void showSystemInformation();

    WindowDialogs& dialogs_;
};

// "Version 1.0.21", from the build's version.
[[nodiscard]] QString versionLabelText();
// The product name, the comments and an information line, one per line.
[[nodiscard]] QString descriptionText();

} // namespace travonix
