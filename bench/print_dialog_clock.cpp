// The same for Qt's print dialog, built for Qt 5 and for Qt 6: QPrintDialog
// on the default printer, its printer list (the combo box Qt names
// "printers") focused; "selected" when that list's choice changes.
//   kvx-bench-print-dialog-qt5|qt6
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrinter>

#include <chrono>
#include <cstdio>

namespace {

void Report(const QString &what) {
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    std::printf("%s %lld\n", qPrintable(what), static_cast<long long>(now.count()));
    std::fflush(stdout);
}

// A key event goes to the focused widget and on to its parents: one line for each key.
class KeyReporter final : public QObject {
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::KeyPress && event != lastKey_) {
            lastKey_ = event;
            Report(QStringLiteral("pressed"));
        }
        return QObject::eventFilter(watched, event);
    }
    const QEvent *lastKey_ = nullptr;
};

}  // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    KeyReporter keys;
    application.installEventFilter(&keys);
    QPrinter printer;
    QPrintDialog dialog(&printer);
    auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("printers"));
    if (printers == nullptr) {
        std::fprintf(stderr, "no printer list in Qt's print dialog\n");
        return 1;
    }
    QObject::connect(printers, &QComboBox::currentTextChanged,
                     [](const QString &name) { Report(QStringLiteral("selected ") + name); });
    dialog.show();
    printers->setFocus();
    Report(QStringLiteral("selected ") + printers->currentText());
    return application.exec();
}
