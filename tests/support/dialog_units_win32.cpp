#include "support/dialog_units.h"

RECT dialog_units_to_pixels(HWND dialog, RECT units) {
    MapDialogRect(dialog, &units);
    return units;
}
