/* The seam between kvx-print's two libraries: the loader (libkvx-print.so,
 * the GTK module proper) finds the pane part (libkvx-print-gtk3.so) when the
 * first print dialog is about to show, and calls this one function of it,
 * by this name, with that dialog. The pane part then hooks every later
 * dialog itself. */
#ifndef KVX_PRINT_PANE_PART_H
#define KVX_PRINT_PANE_PART_H

#include <gtk/gtkunixprint.h>

#define KVX_PRINT_PANE_PART_START "kvx_print_gtk3_start"
typedef void (*KVXPrintPanePartStart)(GtkPrintUnixDialog *firstDialog);

#endif
