#include "sdk/unasked_answer.h"

int unasked_message_box_answer(UINT style) {
    switch (style & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDNO;
        case MB_OK:
        case MB_OKCANCEL:
            return IDOK;
        default:
            return IDCANCEL;
    }
}
