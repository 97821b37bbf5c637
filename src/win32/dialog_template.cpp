#include "win32/dialog_template.h"

namespace vorlen::win32 {
namespace {

class TemplateWriter {
public:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const std::wstring& text) {
        for (const wchar_t c : text) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void Ordinal(WORD value) {
        Word(0xFFFF);
        Word(value);
    }
    void Rectangle(const Rect& rect) {
        for (const int value : {rect.x, rect.y, rect.width, rect.height}) {
            Word(static_cast<WORD>(static_cast<short>(value)));
        }
    }
    // Every item starts on a DWORD boundary.
    void Align() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

private:
    std::vector<WORD> words_;
};

void WriteFrame(TemplateWriter& out, const TemplateFrame& frame, std::size_t count) {
    out.Word(1);       // DLGTEMPLATEEX version
    out.Word(0xFFFF);  // its signature
    out.Dword(0);      // help id
    out.Dword(frame.extendedStyle);
    out.Dword(frame.style | DS_SHELLFONT);  // the font below, as the system resolves it
    out.Word(static_cast<WORD>(count));
    out.Rectangle(frame.rect);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(frame.caption);
    out.Word(frame.pointSize);
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // not italic
    out.Text(frame.font);
}

void WriteControl(TemplateWriter& out, const TemplateControl& control) {
    out.Align();
    out.Dword(0);  // help id
    out.Dword(0);  // extended style
    out.Dword(control.style | WS_CHILD);
    out.Rectangle(control.rect);
    out.Dword(static_cast<DWORD>(control.id));
    out.Ordinal(static_cast<WORD>(control.windowClass));
    if (control.resource != 0) {
        out.Ordinal(control.resource);
    } else {
        out.Text(control.text);
    }
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const TemplateFrame& frame,
                                      std::span<const TemplateControl> controls) {
    TemplateWriter out;
    WriteFrame(out, frame, controls.size());
    for (const TemplateControl& control : controls) {
        WriteControl(out, control);
    }
    return out.Take();
}

}  // namespace vorlen::win32
