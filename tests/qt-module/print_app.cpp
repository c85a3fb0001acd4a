// A Qt application that keeps its printer and its print dialog from one
// print to the next (textedit makes both anew each time): Ctrl+P shows the
// dialog and prints the text when it is accepted; Ctrl+Q quits. Built
// against Qt 6, for which Debian 12 ships no example that prints.
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
    QPrinter printer;
    QPrintDialog dialog(&printer, &window);
    QObject::connect(new QShortcut(QKeySequence::Print, &window), &QShortcut::activated, [&] {
        if (dialog.exec() == QDialog::Accepted) window.print(&printer);
    });
    QObject::connect(new QShortcut(QKeySequence::Quit, &window), &QShortcut::activated, &application,
                     &QApplication::quit);
    window.show();
    return application.exec();
}
