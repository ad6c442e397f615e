// Baud list, flow control rule and address text of the communication settings.
#include "link/comm_settings.h"

int32_t BaudListEntry(int index) {
    if (index < 0 || index >= kBaudListSize) return 0;
    int32_t baud = 300;
    for (int i = 0; i < index; ++i) baud = (i == 7) ? baud + baud / 2 : baud * 2;
    return baud;
}

int BaudListIndexFor(int32_t baud) {
    for (int i = 0; i < kBaudListSize; ++i)
        if (BaudListEntry(i) >= baud) return i;
    return kBaudListSize - 1;
}

int32_t DeriveFlowControl(const stPortFlowFlags& f) {
    const bool anyHandshake = (f.outxCtsFlow && f.outxDsrFlow) || f.dtrControl != kControlDisabled ||
                              f.rtsControl != kControlDisabled;
    if (!anyHandshake) return 0;
    if (f.outxCtsFlow && !f.outxDsrFlow && f.rtsControl == kControlHandshake) return 2;
    if (f.outxCtsFlow && f.outxDsrFlow) return 0;
    if (!f.outxCtsFlow && f.outxDsrFlow && f.rtsControl == kControlHandshake) return 3;
    return (f.outX && f.inX) ? 1 : 0;
}

void SplitIpText(const char* text, std::string parts[4]) {
    for (int i = 0; i < 4; ++i) parts[i].clear();
    int field = 0;
    for (const char* p = text ? text : ""; *p && field < 4; ++p) {
        if (*p == '.') {
            ++field;
        } else if (parts[field].size() < 3) {
            parts[field] += *p;
        }
    }
}

std::string JoinIpText(const std::string parts[4]) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (i) text += '.';
        text += parts[i].substr(0, 3);
    }
    return text;
}
