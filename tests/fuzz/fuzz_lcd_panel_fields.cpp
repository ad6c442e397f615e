// The LCD control panel's edit field parsers on arbitrary text: they stay within the text and
// the output capacity, and the text parser never grows the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lcd/control_panel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int capacity = data[0];
    // An exact-size copy, so that reading past the text is caught.
    std::vector<char> text(data + 1, data + size);
    const int length = static_cast<int>(text.size());
    std::vector<uint8_t> out(static_cast<size_t>(capacity) + 1);
    const int n = ParsePanelText(text.data(), length, out.data(), capacity);
    if (n < 0 || n > capacity || n > length) std::abort();
    const int m = ParseHexCommandList(text.data(), length, out.data(), capacity);
    if (m < 0 || m > capacity || m > length) std::abort();
    stPanelMessage message;
    if (TextMessage(text.data(), length, &message) > kPanelFieldMax + 1) std::abort();
    if (CommandListMessage(text.data(), length, &message) > kPanelFieldMax + 1) std::abort();
    return 0;
}
