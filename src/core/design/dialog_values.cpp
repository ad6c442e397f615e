#include "design/dialog_values.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

int32_t ParseDialogNumber(const char* text) {
    if (!text) return 0;
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(text, &end, 10);
    if (end == text) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void StoreModelValues(stPanelModel* model, const stModelValues& v) {
    model->model = static_cast<uint8_t>(v.model);
    model->type = static_cast<uint8_t>(v.type);
    model->bufferSize = static_cast<uint16_t>(v.bufferSize);
    model->keyCount = static_cast<uint8_t>(v.keyCount);
    model->ledCount = static_cast<uint8_t>(v.ledCount);
}

int32_t MillimetresToMicrometres(const char* text) {
    if (!text) return 0;
    char* end = nullptr;
    double mm = std::strtod(text, &end);
    if (end == text) return 0;
    double um = mm * 1000.0;
    if (!(um < 2147483647.0)) return INT32_MAX;  // also NaN
    if (um < -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(um);
}

std::string MicrometresText(int32_t micrometres) {
    char text[32];
    std::snprintf(text, sizeof text, "%3.2f", micrometres * 0.001);
    return text;
}

std::string WholeMillimetresText(int32_t nanometres) {
    char text[32];
    std::snprintf(text, sizeof text, "%03.3f", static_cast<double>(nanometres / 1000000));
    return text;
}

int32_t TipIntervalFromSeconds(int32_t seconds) {
    long long ms = static_cast<long long>(seconds) * 1000;
    if (ms < 1000) return 7000;
    if (ms > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(ms);
}

std::string TipIntervalText(int32_t milliseconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%2d", milliseconds / 1000);
    return text;
}

std::string TipListLine(int number, const char* text) {
    // Built piecewise: a tip read from a design file may be longer than any fixed buffer.
    char head[32];
    std::snprintf(head, sizeof head, "%02d\tTip: ", number);
    std::string line = head;
    std::string body = text ? text : "";
    if (body.size() < 25) body.resize(25, ' ');
    return line + body;
}
