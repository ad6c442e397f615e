#include "common/platform.h"

PanelPlatform& NoPlatform() {
    static PanelPlatform none;
    return none;
}
