// Build-time tool: turns the user guide (Markdown) into the help.pdf that
// lies beside the program.
//   travonix_help_pdf GUIDE.md OUT.pdf

#include "core/Version.h"

#include <QtCore/QFile>
#include <QtCore/QMarginsF>
#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageLayout>
#include <QtGui/QPageSize>
#include <QtGui/QPdfWriter>
#include <QtGui/QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
    // Fonts need a GUI application, the build has no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: travonix_help_pdf GUIDE.md OUT.pdf\n");
        return 2;
    }
    QFile guide(QString::fromLocal8Bit(argv[1]));
    if (!guide.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setDefaultStyleSheet(QStringLiteral("code, pre { font-family: monospace; }"));
    document.setMarkdown(QString::fromUtf8(guide.readAll()));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("%1 %2 user guide")
                     .arg(QString::fromLatin1(travonix::kProductName),
                          QString::fromLatin1(travonix::kVersionText)));
    pdf.setCreator(QString::fromLatin1(travonix::kProductName));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(18, 18, 18, 18), QPageLayout::Millimeter));
    document.print(&pdf);
    return 0;
}
