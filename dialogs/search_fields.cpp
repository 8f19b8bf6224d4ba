#include "dialogs/search_fields.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "model/text_format.h"
#include "platform/cp932_codec.h"

std::optional<std::uint32_t> ParseUnsignedField(const std::string& text) {
  // The whole field is checked, however long: a number followed by anything
  // but blanks is not a number.
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  size_t i = 0;
  while (i < text.size() && isBlank(text[i])) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  const size_t digitsBegin = i;
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + std::uint64_t(text[i] - '0');
    if (value > UINT32_MAX) value = std::uint64_t(UINT32_MAX) + 1;  // saturate, keep scanning
  }
  if (i == digitsBegin) return std::nullopt;
  while (i < text.size() && isBlank(text[i])) ++i;
  if (i != text.size()) return std::nullopt;
  return std::uint32_t(std::min<std::uint64_t>(value, UINT32_MAX));
}

std::string StartLabel(const std::string& startPath) {
  return "検索開始位置：" + (startPath.empty() ? std::string("カタログセット全体") : startPath);
}

std::string TodayDateText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[32] = "";
  if (localtime_r(&now, &local)) std::strftime(text, sizeof text, "%Y/%m/%d", &local);
  return text;
}

void SortResultRows(std::vector<CResultRow>& rows, int folderImage) {
  struct CKeyed {
    bool bFolder;
    std::string strKey;
    CResultRow row;
  };
  std::vector<CKeyed> keyed;
  keyed.reserve(rows.size());
  for (auto& row : rows) {
    CKeyed k{row.m_nImage == folderImage, {}, std::move(row)};
    FoldCase(k.row.m_strFile, k.strKey);
    keyed.push_back(std::move(k));
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const CKeyed& a, const CKeyed& b) {
    if (a.bFolder != b.bFolder) return a.bFolder;
    return a.strKey < b.strKey;
  });
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = std::move(keyed[i].row);
}

std::pair<int, int> ResultColumnWidths(int listWidth, int labelWidth) {
  constexpr int kPadding = 16;  // the header's and the cell's margins
  const int catalog = std::max(100, labelWidth + kPadding);
  return {std::max(100, listWidth - catalog), catalog};
}

std::string ResultCountText(int rows) {
  return std::to_string(rows) + " 件が検索されました。選択したノードが展開されます";
}

std::string RebuildResultPath(const std::string& catalog, const std::string& file) {
  if (catalog.empty() || file.empty()) return {};
  return catalog + file;
}

bool SplitResultPath(const std::string& path, std::string& catalog, std::string& file) {
  const size_t slash = path.find('\\');
  if (slash == std::string::npos) return false;
  catalog = path.substr(0, slash);
  file = path.substr(slash);
  return true;
}

std::string ResultFileText(const CResultRow& row) {
  std::string text = DisplayName(row.m_strFile);
  if (!row.m_strArchive.empty()) text += "　［アーカイブ " + DisplayName(row.m_strArchive) + " 内］";
  return text;
}
