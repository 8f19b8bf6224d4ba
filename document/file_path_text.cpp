#include "document/file_path_text.h"

#include <wx/strconv.h>

#include "platform/cp932_codec.h"

namespace {

wxMBConvUTF8& PathConv() {
  static wxMBConvUTF8 conv(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
  return conv;
}

}  // namespace

wxString WxFromPath(const std::string& path) { return wxString(path.data(), PathConv(), path.size()); }

std::string PathFromWx(const wxString& path) {
  const wxScopedCharBuffer bytes = path.mb_str(PathConv());
  return std::string(bytes.data(), bytes.length());
}

wxString PathForDisplay(const wxString& path) { return wxString::FromUTF8(SanitizeUtf8(PathFromWx(path))); }
