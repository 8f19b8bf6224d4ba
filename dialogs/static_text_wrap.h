#pragma once
// Puts a text into a fixed-size static so that long lines break at its
// width. wxStaticText::Wrap breaks only at blanks, which Japanese text does
// not have, so lines break after the last blank, "。", "、" or path separator
// when there is one and between any two characters otherwise.

#include <functional>

#include <wx/string.h>

class wxStaticText;

// text with line breaks added so that no line is wider than width, as
// measured by widthOf.
wxString WrapText(const wxString& text, int width, const std::function<int(const wxString&)>& widthOf);

// Sets control's text (no mnemonics) wrapped to its width.
void SetWrappedText(wxStaticText* control, const wxString& text);
