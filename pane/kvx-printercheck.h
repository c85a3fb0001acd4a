/* Whether the printer chosen in the dialog is the one model this pane serves. */
#ifndef KVX_PRINTERCHECK_H
#define KVX_PRINTERCHECK_H

#include "PrintCore.h"

/* True only when the printer's PPD opens, names exactly the supported model
 * as its ModelName and closes again; every failure reads as false. */
Boolean IsPDENeededForThisPrinter(PMPrintSession printSession);

#endif
