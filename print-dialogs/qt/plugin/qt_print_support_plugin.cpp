// kvx-print's print-support plug-in, what Qt loads into every process that
// prints (QPlatformPrinterSupportPlugin::get: the plug-in QT_PRINTER_MODULE
// names, else the first one found; Qt 5 finds its folder's plug-ins sorted
// by file name, and this one's name sorts before Qt's CUPS plug-in's). It
// hands out Qt's own CUPS support, so printers, PPDs and jobs stay Qt's,
// and watches for the first QPrintDialog to be shown: only then is the
// pane part loaded, which brings the pane, the plug-in's host and libcups.
// Built once per Qt major version, against that version's private API.
#include <dlfcn.h>

#include <QtPrintSupport/qpa/qplatformprintersupport.h>
#include <QtPrintSupport/qpa/qplatformprintplugin.h>

#include <QApplication>
#include <QFileInfo>
#include <QPluginLoader>
#include <QPrintDialog>

#include <cstdio>

#include "print-dialogs/qt/plugin/qt_pane_part.h"

namespace {

// Qt's CUPS support, found where Qt finds its plug-ins.
constexpr char kCupsPlugin[] = "printsupport/libcupsprintersupport";
constexpr char kCupsKey[] = "cupsprintersupport";
constexpr char kKey[] = "kvx-print";  // as kvx-print.json lists it

// Installed in Qt's printsupport folder with the pane part in LIBDIR/kvx
// (the install rule gives the relative path); in the build tree, the
// build's own pane part.
constexpr char kInstalledPanePartFromPlugin[] = KVX_INSTALLED_PANE_PART_FROM_PLUGIN;
constexpr char kBuildPanePart[] = KVX_BUILD_PANE_PART;

QString FindPanePart() {
    Dl_info self{};
    if (dladdr(reinterpret_cast<const void *>(&FindPanePart), &self) != 0 && self.dli_fname != nullptr) {
        const QString installed = QFileInfo(QString::fromLocal8Bit(self.dli_fname)).absolutePath() +
                                  QLatin1Char('/') + QLatin1String(kInstalledPanePartFromPlugin);
        if (QFileInfo::exists(installed)) return installed;
    }
    return QString::fromLocal8Bit(kBuildPanePart);
}

// Runs once, for the first print dialog: the pane part, once loaded,
// follows the later ones itself; one that cannot load costs one line, and
// every dialog stays as it is without the pane.
class FirstDialogWatcher final : public QObject {
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (handedOver_ || event->type() != QEvent::Show || !watched->isWidgetType()) return false;
        auto *dialog = qobject_cast<QPrintDialog *>(watched);
        if (dialog == nullptr) return false;
        handedOver_ = true;
        qApp->removeEventFilter(this);
        deleteLater();
        const QByteArray path = FindPanePart().toLocal8Bit();
        void *library = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        const auto start = library != nullptr
                               ? reinterpret_cast<KVXPrintQtPanePartStart>(dlsym(library, KVX_PRINT_QT_PANE_PART_START))
                               : nullptr;
        if (start != nullptr) {
            start(dialog);
        } else {
            const char *why = dlerror();
            std::fprintf(stderr, "kvx-print: cannot load %s (%s); print dialogs go on without the pane\n",
                         path.constData(), why != nullptr ? why : "no entry");
            if (library != nullptr) dlclose(library);
        }
        return false;
    }

    bool handedOver_ = false;
};

// The pane part reads the print dialog's private widgets as this Qt minor
// version lays them out; under another one the dialog stays Qt's own.
bool RunsOnItsOwnQt() {
    const QString running = QString::fromLatin1(qVersion()).section(QLatin1Char('.'), 0, 1);
    const QString built = QStringLiteral("%1.%2").arg(QT_VERSION_MAJOR).arg(QT_VERSION_MINOR);
    if (running == built) return true;
    std::fprintf(stderr, "kvx-print: built for Qt %s, running on Qt %s; print dialogs go on without the pane\n",
                 qPrintable(built), qVersion());
    return false;
}

// Qt 6 finds a folder's plug-ins in the order the file system lists them,
// so being the first there is chance: the tab comes only where the session
// names this plug-in in QT_PRINTER_MODULE, and Qt 6 prints as before
// elsewhere. Qt 5 sorts them by name, and this one comes first.
bool ChosenOnPurpose() {
#if QT_VERSION_MAJOR >= 6
    return qgetenv("QT_PRINTER_MODULE").compare(kKey, Qt::CaseInsensitive) == 0;
#else
    return true;
#endif
}

}  // namespace

class KVXPrinterSupportPlugin final : public QPlatformPrinterSupportPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformPrinterSupportFactoryInterface_iid FILE "kvx-print.json")

public:
    QPlatformPrinterSupport *create(const QString &key) override;
};

QPlatformPrinterSupport *KVXPrinterSupportPlugin::create(const QString &key) {
    if (key.compare(QLatin1String(kKey), Qt::CaseInsensitive) != 0) return nullptr;
    QPluginLoader cups{QLatin1String(kCupsPlugin)};
    auto *cupsPlugin = qobject_cast<QPlatformPrinterSupportPlugin *>(cups.instance());
    if (cupsPlugin == nullptr) {
        std::fprintf(stderr, "kvx-print: Qt's CUPS support does not load (%s); printing goes on without it\n",
                     qPrintable(cups.errorString()));
        return nullptr;
    }
    QPlatformPrinterSupport *support = cupsPlugin->create(QLatin1String(kCupsKey));
    if (support != nullptr && qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr &&
        ChosenOnPurpose() && RunsOnItsOwnQt()) {
        auto *watcher = new FirstDialogWatcher;
        watcher->setParent(qApp);
        qApp->installEventFilter(watcher);
    }
    return support;
}

#include "qt_print_support_plugin.moc"
