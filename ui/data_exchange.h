// Moves values between a dialog's controls and its members in one function run in both
// directions. Saving (controls to members) stops at the first invalid control: the user is told
// what is expected, the control gets the focus and the dialog stays open.
#pragma once

#include <windows.h>

#include <cfloat>
#include <climits>
#include <string>

namespace ui {

class DataExchange {
public:
    enum class Direction { Load, Save }; // Load: members to controls; Save: controls to members

    DataExchange(HWND dialog, Direction direction) : m_dialog(dialog), m_direction(direction) {}

    bool Saving() const { return m_direction == Direction::Save; }
    bool Failed() const { return m_failed; }
    HWND Dialog() const { return m_dialog; }

    void Text(int id, std::string& value);
    void Text(int id, unsigned& value, unsigned minimum = 0, unsigned maximum = UINT_MAX);
    void Text(int id, double& value, double minimum = -DBL_MAX, double maximum = DBL_MAX);
    // Loading limits what can be typed; saving refuses a longer text (pasted, or set by code).
    void MaxLength(int id, unsigned length);
    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    void Check(int id, int& state);
    void Check(int id, bool& checked);
    // The radio group starting at firstId (up to the next control with WS_GROUP): the 0-based
    // index of the checked button, -1 when none is.
    void Radio(int firstId, int& index);
    // The 0-based index of a combo box's selected item, -1 when none is.
    void ComboIndex(int id, int& index);

    // Reports an invalid control found by the dialog's own checks; later exchanges do nothing.
    void Fail(int id, const std::string& message);

private:
    bool Active() const { return !m_failed; }
    // Loads value, or saves the control's whole number within the bounds (true when stored).
    bool ExchangeWhole(int id, long long& value, long long minimum, long long maximum,
                       bool unbounded);

    HWND m_dialog;
    Direction m_direction;
    bool m_failed = false;
};

} // namespace ui
