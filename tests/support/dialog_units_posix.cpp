#include "support/dialog_units.h"

RECT dialog_units_to_pixels(HWND, RECT units) {
    // Rounded as MulDiv rounds.
    auto x = [](LONG value) { return (value * 6 + 2) / 4; };
    auto y = [](LONG value) { return (value * 13 + 4) / 8; };
    return RECT{x(units.left), y(units.top), x(units.right), y(units.bottom)};
}
