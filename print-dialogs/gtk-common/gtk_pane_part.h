/* The seam between kvx-print's two libraries in each GTK version: the loader
 * (GTK 3: libkvx-print.so, the GTK module proper; GTK 4: libkvx-print-gtk4.so,
 * in GTK's printbackends folder) finds the pane part (libkvx-print-gtk3.so,
 * libkvx-print-gtk4-pane.so) when the first print dialog is about to show,
 * and calls this one function of it, by this name, with that dialog. The
 * pane part then hooks every later dialog itself. */
#ifndef KVX_PRINT_PANE_PART_H
#define KVX_PRINT_PANE_PART_H

#include <gtk/gtkunixprint.h>

#define KVX_PRINT_PANE_PART_START "kvx_print_pane_part_start"
typedef void (*KVXPrintPanePartStart)(GtkPrintUnixDialog *firstDialog);

#endif
