#include "panel/panel.h"

stPanel& ProcessPanel() {
    static stPanel panel;
    return panel;
}
