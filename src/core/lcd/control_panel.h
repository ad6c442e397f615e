// The logic behind the LCD control panel: the panel messages its controls send, the parsers of
// its two edit fields, the slider arithmetic and the state it keeps for the life of the process.
//
// The control panel never changes the controller itself. Every control builds one panel message
// here and the dialog injects it as if the host had sent it (InjectCommand), so the dispatcher
// applies it, the monitor shows it and replies go to the host. The controller is only read, to
// fill in the bits a control does not change.
//
// Everything here runs on the user-interface thread.
#pragma once

#include <cstdint>

struct stProtocol;

// Longest text either edit field takes.
constexpr int kPanelFieldMax = 255;
// Longest message InjectCommand frames in every protocol mode (command, data, sequence byte,
// two CRC bytes and CR in a 256-byte frame).
constexpr int kPanelMessageMax = 252;
constexpr int kPatternRows = 11;

// A message of one control: command byte first.
struct stPanelMessage {
    uint8_t bytes[kPanelFieldMax + 2];
    int length;
};

enum class ShiftTarget : uint8_t { kCursor, kDisplay };

// Kept from process start to unload; the dialog is opened again and again over it.
struct stLcdPanelState {
    uint8_t patternRows[kPatternRows] = {};  // rows 0-10 of the character being designed, bit 4 leftmost
    ShiftTarget shiftTarget = ShiftTarget::kCursor;
    // Reset to 255, 255 and 128 each time the dialog opens.
    uint8_t backlight = 255;
    uint8_t ledBrightness = 255;
    uint8_t contrast = 128;
    // Instruction bytes of the two write-direction buttons, fixed at each button's first use
    // (-1 until then).
    int16_t leftToRightByte = -1;
    int16_t rightToLeftByte = -1;
};

stLcdPanelState& LcdPanelState();
// The state at process start. For start-up and tests.
void ResetLcdPanelState();
// The slider values of a fresh dialog.
void ResetLcdPanelSliders();

// ---- parsers of the edit fields ---------------------------------------------------------------
// Text with escapes: characters are copied; a backslash followed by x or X and two hex digits is
// the byte of that value; "\x" with only one hex digit is that digit's value; "\x" followed by
// no hex digit stays as typed (a backslash and the x); a backslash before any other character is
// one backslash and that character is dropped; a backslash at the end stays. At most `capacity`
// bytes are written. Returns their number.
int ParsePanelText(const char* text, int length, uint8_t* out, int capacity);
// Hex command list: two hex digits in a row are one byte, high digit first; any other character
// ends a pending single digit, which is a byte of its own value, as is a single digit at the end.
// At most `capacity` bytes are written. Returns their number.
int ParseHexCommandList(const char* text, int length, uint8_t* out, int capacity);

// ---- sliders ----------------------------------------------------------------------------------
// The vertical scroll codes a slider reports.
enum SliderCode {
    kSliderLineUp = 0,
    kSliderLineDown = 1,
    kSliderPageUp = 2,
    kSliderPageDown = 3,
    kSliderThumbPosition = 4,
    kSliderThumbTrack = 5,
    kSliderTop = 6,
    kSliderBottom = 7,
    kSliderEndScroll = 8,
};
// The slider's top is value 255: its position is 255 - value.
inline int SliderPositionOf(uint8_t value) { return 255 - value; }
// Applies a scroll code to a slider value. Returns 1 when the slider's message is to be sent
// with the (possibly unchanged) value, 0 for codes that send nothing.
int ApplySliderCode(int code, int thumbPosition, uint8_t* value);

// ---- the messages -----------------------------------------------------------------------------
// Each builder fills `out` and returns its length.
int DisplayControlMessage(bool displayOn, bool cursorOn, bool blinkOn, stPanelMessage* out);
int EntryModeMessage(bool increment, bool shiftOnWrite, stPanelMessage* out);
// The write-direction buttons: 'D' 0x06 / 0x04 with S of the controller at the button's first
// use, the same byte at every later use.
int WriteDirectionMessage(bool leftToRight, bool shiftOnWriteNow, stPanelMessage* out);
int FunctionSetMessage(bool oneLine5x11, stPanelMessage* out);
int ShiftMessage(bool right, ShiftTarget target, stPanelMessage* out);
int ClearDisplayMessage(stPanelMessage* out);
int DisplayTestMessage(stPanelMessage* out);
int ResetMessage(stPanelMessage* out);
// 'W' and the text after escape processing; 0 (nothing to send) when that is empty.
int TextMessage(const char* text, int length, stPanelMessage* out);
// 'D' and the bytes of the hex list; 0 when there are none.
int CommandListMessage(const char* text, int length, stPanelMessage* out);
// Entry `index` of the character list: single codes 0-7 (5x8) or pairs 0/1 .. 6/7 (5x11).
// 'D' with the CGRAM address of the entry's first row; 0 for an index outside the list.
int CharacterSelectMessage(int index, bool pairs, stPanelMessage* out);
// Number of entries of the character list and the text of one.
int CharacterListSize(bool pairs);
void CharacterListEntry(int index, bool pairs, char text[4]);
// 'W' and pattern rows 0-7 when the controller's font is 5x8 (1), otherwise rows 0-10.
int AssignMessage(uint8_t controllerFont, stPanelMessage* out);
// The dot grid: sets or clears dot (row, column) of the pattern to the check box's new state.
// Returns 0 for a dot outside the 11 x 5 grid.
int SetPatternDot(int row, int column, bool lit);
int BacklightMessage(uint8_t level, stPanelMessage* out);
int LedBrightnessMessage(uint8_t level, stPanelMessage* out);
int ContrastMessage(uint8_t level, bool save, stPanelMessage* out);
// 'G' 'A' (address counter) or 'G' 'R' (data at the address counter).
int ReadMessage(bool address, stPanelMessage* out);

// Injects a message (InjectCommand) into the panel's host path. Returns 0 when it could not be
// framed.
int InjectPanelMessage(stProtocol& protocol, const stPanelMessage& message);
