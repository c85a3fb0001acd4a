// A Qt application as most print: a text window whose Ctrl+P asks
// QPrintDialog for a QPrinter of its own and prints the text when the
// dialog is accepted; Ctrl+Q quits. Built against Qt 6, for which Debian 12
// ships no example that prints.
#include <QApplication>
#include <QKeySequence>
#include <QPrintDialog>
#include <QPrinter>
#include <QShortcut>
#include <QTextEdit>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    QTextEdit window(QStringLiteral("A page for the Korvane RM-4750."));
    window.setWindowTitle(QStringLiteral("Rich Text"));
    QObject::connect(new QShortcut(QKeySequence::Print, &window), &QShortcut::activated, [&window] {
        QPrinter printer;
        QPrintDialog dialog(&printer, &window);
        if (dialog.exec() == QDialog::Accepted) window.print(&printer);
    });
    QObject::connect(new QShortcut(QKeySequence::Quit, &window), &QShortcut::activated, &application,
                     &QApplication::quit);
    window.show();
    return application.exec();
}
