/* The seam between kvx-print's two libraries for Qt: the print-support
 * plug-in (in Qt's printsupport folder) finds the pane part
 * (LIBDIR/kvx/libkvx-print-qt5.so, -qt6.so) when the first print dialog is
 * shown, and calls this one function of it, by this name, with that
 * dialog. The pane part then follows every later dialog itself. */
#ifndef KVX_PRINT_QT_PANE_PART_H
#define KVX_PRINT_QT_PANE_PART_H

class QPrintDialog;

#define KVX_PRINT_QT_PANE_PART_START "kvx_print_qt_pane_part_start"
extern "C" {
typedef void (*KVXPrintQtPanePartStart)(QPrintDialog *firstDialog);
}

#endif
