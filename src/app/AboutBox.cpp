#include "app/AboutBox.h"

#include "app/WindowDialogs.h"
#include "core/Version.h"
#include "platform/SystemInfoLauncher.h"

#include <QtGui/QIcon>
#include <QtWidgets/QFrame>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace travonix {

namespace {

constexpr const char* kComments =
    "Assists in the generation of Velmora Orvo CFunctions inc DATA CFunctions";
constexpr const char* kInformationLine =
    "News, updates and the user guide are on Tavik's web page.";
constexpr const char* kDisclaimer =
    "Travonix is the property of Tavik, who holds all rights in it.";
constexpr const char* kNoSystemInformation = "System Information Is Unavailable At This Time";

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* shown = new QLabel(text, parent);
    shown->setObjectName(QString::fromLatin1(name));
    shown->setWordWrap(true);
    return shown;
}

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QString versionLabelText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString descriptionText() {
    return QString::fromLatin1(kProductName) + QLatin1Char('\n') + QString::fromLatin1(kComments) +
           QLatin1Char('\n') + QString::fromLatin1(kInformationLine) + QLatin1Char('\n');
}

AboutBox::AboutBox(WindowDialogs& dialogs, QWidget* parent) : QDialog(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(kProductName));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(QIcon(QStringLiteral(":/travonix/travonix.png")).pixmap(48, 48));
    auto* title = label(this, "title", QString::fromLatin1(kProductName));
    QFont large = title->font();
    large.setPointSize(large.pointSize() + 6);
    large.setBold(true);
    title->setFont(large);

    auto* heading = new QHBoxLayout;
    heading->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->addWidget(title);
    names->addWidget(label(this, "version", versionLabelText()));
    names->addWidget(label(this, "description", descriptionText()));
    heading->addLayout(names, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* systemInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    systemInfo->setObjectName(QStringLiteral("systemInfo"));
    connect(systemInfo, &QPushButton::clicked, this, [this] { showSystemInformation(); });

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(systemInfo);
    auto* foot = new QHBoxLayout;
    foot->addWidget(label(this, "disclaimer", QString::fromLatin1(kDisclaimer)), 1);
    foot->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(separator(this));
    layout->addLayout(foot);
    setMinimumWidth(460);
}

void AboutBox::showSystemInformation() {
    if (!startSystemInformation())
        dialogs_.showMessage(this, QString::fromLatin1(kNoSystemInformation),
                             QString::fromLatin1(kProductName));
}

} // namespace travonix
