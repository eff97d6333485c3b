#include "win32/split_export_dialog.h"

#include <string>
#include <string_view>
#include <vector>

#include "win32/wide_text.h"
#include "window/split_export_texts.h"

namespace haojian::win32 {
namespace {

// The dialog's layout in dialog units, with SimSun at 9 points: wide enough for the longest
// choice and the hint, and no wider.
constexpr short kWidth = 196;
constexpr short kInner = kWidth - 14;
constexpr short kRow = 12;
constexpr short kByTop = 7, kByHeight = 28;
constexpr short kIntoTop = kByTop + kByHeight + 6, kIntoHeight = 14 + 4 * kRow;
constexpr short kHintTop = kIntoTop + kIntoHeight + 6;
constexpr short kButtonsTop = kHintTop + 16;
constexpr short kHeight = kButtonsTop + 14 + 7;
constexpr int kIdByGroup = 1221, kIdIntoGroup = 1222, kIdHint = 1223;

constexpr WORD kButtonClass = 0x0080, kStaticClass = 0x0082;

// An in-memory dialog template (DLGTEMPLATE and its items), built a WORD at a time.
class DialogTemplate {
public:
    DialogTemplate(std::wstring_view title, short width, short height) {
        const DWORD style =
            DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        Long(style);
        Long(0);
        count_at_ = words_.size();
        words_.insert(words_.end(), {0, 0, 0, WORD(width), WORD(height), 0, 0});
        Text(title);
        words_.push_back(9);
        Text(Wide(window_text::kSongFace));
    }

    void Item(DWORD style, short x, short y, short cx, short cy, int id, WORD atom,
              std::wstring_view text) {
        if (words_.size() % 2) words_.push_back(0);  // each item on a DWORD boundary
        Long(WS_CHILD | WS_VISIBLE | style);
        Long(0);
        words_.insert(words_.end(), {WORD(x), WORD(y), WORD(cx), WORD(cy), WORD(id), 0xFFFF, atom});
        Text(text);
        words_.push_back(0);  // no creation data
        ++words_[count_at_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Long(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Text(std::wstring_view text) {
        words_.insert(words_.end(), text.begin(), text.end());
        words_.push_back(0);
    }

    std::vector<WORD> words_;
    std::size_t count_at_ = 0;
};

INT_PTR CALLBACK DialogProcedure(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    auto* choice = reinterpret_cast<SplitExportChoice*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrW(dialog, DWLP_USER, l);
            choice = reinterpret_cast<SplitExportChoice*>(l);
            CheckRadioButton(dialog, kIdSplitFirstField, kIdSplitFirstField + 2,
                             kIdSplitFirstField + int(choice->field));
            CheckRadioButton(dialog, kIdSplitFirstInto, kIdSplitFirstInto + 3,
                             kIdSplitFirstInto + int(choice->into));
            SetFocus(GetDlgItem(dialog, kIdSplitFirstField + int(choice->field)));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(w) == IDOK) {
                for (int i = 0; i < 3; ++i) {
                    if (IsDlgButtonChecked(dialog, kIdSplitFirstField + i)) {
                        choice->field = SplitField(i);
                    }
                }
                for (int i = 0; i < 4; ++i) {
                    if (IsDlgButtonChecked(dialog, kIdSplitFirstInto + i)) {
                        choice->into = SplitExportChoice::Into(i);
                    }
                }
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(w) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<SplitExportChoice> ChooseSplitExport(HWND owner, const SplitExportChoice& proposed) {
    DialogTemplate form(Wide(window_text::kSplitExportCaption), kWidth, kHeight);
    form.Item(BS_GROUPBOX, 7, kByTop, kInner, kByHeight, kIdByGroup, kButtonClass,
              Wide(window_text::kSplitByLabel));
    for (int i = 0; i < 3; ++i) {
        form.Item(BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), short(15 + 45 * i),
                  kByTop + 12, 40, 10, kIdSplitFirstField + i, kButtonClass,
                  Wide(window_text::kSplitFields[std::size_t(i)]));
    }
    form.Item(BS_GROUPBOX | WS_GROUP, 7, kIntoTop, kInner, kIntoHeight, kIdIntoGroup, kButtonClass,
              Wide(window_text::kSplitIntoLabel));
    for (int i = 0; i < 4; ++i) {
        form.Item(BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), 15,
                  short(kIntoTop + 12 + kRow * i), kInner - 16, 10, kIdSplitFirstInto + i,
                  kButtonClass, Wide(window_text::kSplitIntoChoices[std::size_t(i)]));
    }
    form.Item(SS_LEFT | WS_GROUP, 7, kHintTop, kInner, 10, kIdHint, kStaticClass,
              Wide(window_text::kSplitExportHint));
    form.Item(BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, kWidth - 7 - 50 - 4 - 50, kButtonsTop, 50,
              14, IDOK, kButtonClass, Wide(window_text::kOkButton));
    form.Item(BS_PUSHBUTTON | WS_TABSTOP, kWidth - 7 - 50, kButtonsTop, 50, 14, IDCANCEL,
              kButtonClass, Wide(window_text::kCancelButton));

    SplitExportChoice choice = proposed;
    const INT_PTR answer =
        DialogBoxIndirectParamW(reinterpret_cast<HINSTANCE>(GetModuleHandleW(nullptr)), form.get(),
                                owner, DialogProcedure, reinterpret_cast<LPARAM>(&choice));
    if (answer != IDOK) return std::nullopt;
    return choice;
}

}  // namespace haojian::win32
