#include "quota/dynamic_dialog.h"

#include "base/handles.h"
#include "ui/message_box.h"
#include "ui/window.h"

#include <cstring>

namespace quota {

namespace {

// Reads a dialog template resource field by field.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : m_at(data) {}

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    short Short() { return Read<short>(); }

    // A zero-terminated UTF-16 string.
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A menu, class or title field: none (0), an ordinal (0xFFFF and a word) or a string.
    // Returns the ordinal, 0 for none or a string (which goes to `text`).
    WORD NameOrOrdinal(std::wstring* text = nullptr) {
        const WORD first = Read<WORD>(false);
        if (first == 0xFFFF) {
            Word();
            return Word();
        }
        std::wstring name = String();
        if (text)
            *text = std::move(name);
        return 0;
    }
    void Skip(size_t bytes) { m_at += bytes; }
    void AlignToDword() {
        const auto address = reinterpret_cast<uintptr_t>(m_at);
        m_at += (4 - address % 4) % 4;
    }

private:
    template <typename T> T Read(bool advance = true) {
        T value;
        std::memcpy(&value, m_at, sizeof value);
        if (advance)
            m_at += sizeof value;
        return value;
    }

    const BYTE* m_at;
};

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

struct ClassOfCode {
    DynamicControlKind Kind;
    const char* Name;
};
constexpr ClassOfCode kClasses[] = {
    {KindButton, "button"},          {KindEdit, "edit"},
    {KindStatic, "static"},          {KindListBox, "listbox"},
    {KindScrollBar, "scrollbar"},    {KindComboBox, "combobox"},
    {KindListView, "SysListView32"}, {KindUpDown, "msctls_updown32"},
};

DynamicControlKind KindOfName(const std::string& name) {
    for (const ClassOfCode& entry : kClasses) {
        if (lstrcmpiA(entry.Name, name.c_str()) == 0)
            return entry.Kind;
    }
    return KindOther;
}

const char* NameOfCode(WORD code) {
    for (const ClassOfCode& entry : kClasses) {
        if (entry.Kind == code && code >= KindButton)
            return entry.Name;
    }
    return "static";
}

bool IsDialogWindow(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, "#32770") == 0;
}

} // namespace

CDynamicDialog::CDynamicDialog(HWND parent, WORD templateId, int placementId, HINSTANCE instance)
    : m_parent(parent), m_instance(instance ? instance : GetModuleHandleA(nullptr)),
      m_templateId(templateId), m_placementId(placementId) {
    if (placementId != 0) {
        if (HWND placement = GetDlgItem(parent, placementId)) {
            RECT rect = ui::Window(placement).RectInParent();
            m_origin = {rect.left, rect.top};
        }
    }
}

bool CDynamicDialog::Show(bool show) {
    if (!m_created) {
        if (!CreateControls())
            return false;
        m_created = true;
    }
    for (DynamicControl& control : Controls) {
        ui::Window window(control.Window);
        if (show) {
            window.SetText(control.SavedText);
        } else {
            control.SavedText = window.Text();
            window.SetText("");
        }
        window.Show(show ? SW_SHOW : SW_HIDE);
    }
    m_shown = show;
    return true;
}

// Position and size are mapped each on its own, as the system's dialog manager does, so that
// a sub-page's controls get the very rectangles a dialog of the template would give them.
RECT CDynamicDialog::ToParentPixels(RECT placement) const {
    if (IsDialogWindow(m_parent)) {
        MapDialogRect(m_parent, &placement);
        return placement;
    }
    int baseWidth = LOWORD(GetDialogBaseUnits()), baseHeight = HIWORD(GetDialogBaseUnits());
    if (HFONT font = ui::Window(m_parent).Font()) {
        base::WindowDc dc(m_parent);
        base::SelectObjectScope selection(dc.Get(), font);
        static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE extent{};
        GetTextExtentPoint32A(dc.Get(), kLetters, 52, &extent);
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc.Get(), &metrics);
        baseWidth = MulDiv(1, extent.cx, 52);
        baseHeight = metrics.tmHeight;
    }
    return {placement.left * baseWidth / 4, placement.top * baseHeight / 8,
            placement.right * baseWidth / 4, placement.bottom * baseHeight / 8};
}

bool CDynamicDialog::CreateControls() {
    HRSRC resource = FindResourceA(m_instance, MAKEINTRESOURCEA(m_templateId), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(m_instance, resource) : nullptr;
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!data)
        return false;

    TemplateReader reader(data);
    const bool extended = reader.Word() == 1 && reader.Word() == 0xFFFF;
    if (!extended)
        reader = TemplateReader(data);
    else
        reader.Dword(); // help id
    DWORD style = 0;
    if (extended) {
        reader.Dword(); // extended style
        style = reader.Dword();
    } else {
        style = reader.Dword();
        reader.Dword();
    }
    m_itemCount = reader.Word();
    reader.Skip(4 * sizeof(short)); // x, y, cx, cy
    reader.NameOrOrdinal();         // menu
    reader.NameOrOrdinal();         // window class
    reader.String();                // title
    if (style & DS_SETFONT) {
        reader.Word(); // point size
        if (extended)
            reader.Skip(sizeof(WORD) + 2); // weight, italic, character set
        reader.String();
    }

    const HFONT font = ui::Window(m_parent).Font();
    for (WORD item = 0; item < m_itemCount; ++item) {
        reader.AlignToDword();
        DWORD itemStyle = 0, itemExStyle = 0;
        if (extended) {
            reader.Dword(); // help id
            itemExStyle = reader.Dword();
            itemStyle = reader.Dword();
        } else {
            itemStyle = reader.Dword();
            itemExStyle = reader.Dword();
        }
        const short x = reader.Short(), y = reader.Short();
        const short cx = reader.Short(), cy = reader.Short();
        const int id = extended ? static_cast<int>(reader.Dword()) : reader.Word();
        std::wstring className;
        const WORD code = reader.NameOrOrdinal(&className);
        std::wstring title;
        reader.NameOrOrdinal(&title);
        reader.Skip(reader.Word()); // creation data

        const std::string name = code ? NameOfCode(code) : Narrow(className);
        const DynamicControlKind kind =
            code ? static_cast<DynamicControlKind>(code) : KindOfName(name);
        // The sunken edge takes the place of a plain border, as in the system's dialogs.
        if (kind == KindEdit || kind == KindListBox) {
            itemExStyle |= WS_EX_CLIENTEDGE;
            itemStyle &= ~WS_BORDER;
        }
        const RECT placement = ToParentPixels({x, y, cx, cy});
        const RECT rect{m_origin.x + placement.left, m_origin.y + placement.top,
                        m_origin.x + placement.left + placement.right,
                        m_origin.y + placement.top + placement.bottom};
        const std::string text = Narrow(title);
        HWND window =
            CreateWindowExA(itemExStyle, name.c_str(), text.c_str(), itemStyle, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, m_parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), m_instance, nullptr);
        if (!window)
            return false;
        Controls.push_back({window, kind, text});
        ui::Window(window).SetFont(font, true);
    }
    return true;
}

} // namespace quota
