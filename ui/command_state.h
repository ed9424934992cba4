// What an update handler says about one command: enabled and checked. The first handler in the
// chain that sets anything answers for the command.
#pragma once

namespace ui {

class CommandState {
public:
    void Enable(bool enable = true) {
        m_enabled = enable;
        m_answered = true;
    }
    void Check(bool check = true) {
        m_checked = check;
        m_answered = true;
    }
    bool Enabled() const { return m_enabled; }
    bool Checked() const { return m_checked; }
    bool Answered() const { return m_answered; }

private:
    bool m_enabled = true;
    bool m_checked = false;
    bool m_answered = false;
};

} // namespace ui
