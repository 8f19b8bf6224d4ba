#pragma once
// The two copies searches: 重複ファイルを探す and 他にコピーのないファイル.
// The options dialog (where other set files are read, read-only, to compare
// with), the grouping on a worker thread behind a progress dialog that can
// cancel it, then the results. Nothing is written, and the open set is only
// read.

#include <string>
#include <vector>

class CRootFileInfo;
class wxWindow;

inline constexpr char kCopiesCaption[] = "コピーを探しています";
inline constexpr char kCopiesMessage[] = "ファイルを照合しています";
inline constexpr char kCopiesCancelled[] = "コピーの検索をキャンセルしました";
inline constexpr char kCopiesSameSet[] = "開いているカタログセットは追加できません";

// Runs the search on set (kept at setPath; recentSets are offered to
// compare with) and gives the path of the item of set the user chose to go
// to, empty when none.
std::string FindCopies(const CRootFileInfo& set, bool fewCopies, wxWindow* parent, const std::string& setPath,
                       const std::vector<std::string>& recentSets);
