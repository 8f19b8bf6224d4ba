#include "model/item_real_name.h"

#include <unordered_map>

#include "model/drive_file_info.h"
#include "model/root_file_info.h"
#include "platform/cp932_codec.h"
#include "platform/path_separator.h"
#include "platform/real_name.h"

namespace {

const CFileInfo* ChildNamed(const CFileInfo* folder, std::string_view name) {
  if (folder == nullptr || !folder->IsContainer()) return nullptr;
  for (const auto& child : static_cast<const CFolderFileInfo*>(folder)->Children())
    if (child->GetName() == name) return child.get();
  return nullptr;
}

// The path of the names (item name, item or null when the set lacks it).
std::optional<std::string> JoinBelow(const CDriveFileInfo& catalog,
                                     const std::vector<std::pair<std::string_view, const CFileInfo*>>& names) {
  const std::string& base = catalog.m_strCatalogedPath;
  std::string rest;
  std::vector<std::string> realNames;
  for (const auto& [name, item] : names) {
    realNames.push_back(item != nullptr ? RealNameOf(*item) : UnescapeBytes(name));
    // The form the disk may be asked for differs from the text's in non-ASCII
    // bytes only, so the text's bytes tell for both.
    if (!IsPlainRealName(realNames.back()) || !IsPlainRealName(UnescapeBytes(name))) return std::nullopt;
    if (!rest.empty()) rest += '\\';
    rest += name;
  }
  // A catalog made on another system ("D:", "C:\data") keeps its own form,
  // which names nothing here.
  if (!IsRootedPath(base)) return names.empty() ? base : base + "\\" + rest;
  if (names.empty()) return UnescapeBytes(base);
  if (!catalog.m_record) return RealPathBelow(base, rest);
  std::string path = UnescapeBytes(base);
  if (std::string_view(kPathSeparators).find(path.back()) == std::string_view::npos) path += kPathSeparator;
  for (std::size_t i = 0; i < realNames.size(); ++i) {
    if (i != 0) path += kPathSeparator;
    path += realNames[i];
  }
  return path;
}

}  // namespace

bool IsPlainRealName(std::string_view bytes) {
  return !bytes.empty() && bytes != "." && bytes != ".." &&
         bytes.find_first_of(std::string_view(kPathSeparators)) == std::string_view::npos &&
         bytes.find('\0') == std::string_view::npos;
}

std::string RealNameOf(const CFileInfo& item) {
  const std::string_view name = item.GetName();
  std::string bytes;
  if (item.IsRealNameCp932() && EncodeCp932Bytes(name, bytes)) return bytes;
  return UnescapeBytes(name);
}

std::optional<std::string> RealPathOfItem(const CDriveFileInfo& catalog, std::string_view rest) {
  std::vector<std::pair<std::string_view, const CFileInfo*>> names;
  const CFileInfo* folder = &catalog;
  for (std::size_t start = 0; !rest.empty();) {
    const std::size_t end = rest.find('\\', start);
    const std::string_view name = rest.substr(start, end - start);
    folder = ChildNamed(folder, name);
    names.emplace_back(name, folder);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return JoinBelow(catalog, names);
}

std::optional<std::string> RealPathOfItem(const CDriveFileInfo& catalog, const std::vector<const CFileInfo*>& chain) {
  std::vector<std::pair<std::string_view, const CFileInfo*>> names;
  for (const CFileInfo* item : chain) names.emplace_back(item->GetName(), item);
  return JoinBelow(catalog, names);
}

std::vector<std::optional<std::string>> RealPathsOfItems(const CRootFileInfo& set,
                                                         const std::vector<const CFileInfo*>& items) {
  std::vector<std::optional<std::string>> paths(items.size());
  std::unordered_multimap<const CFileInfo*, std::size_t> wanted;
  for (std::size_t i = 0; i < items.size(); ++i) wanted.emplace(items[i], i);
  for (const auto& child : set.Children()) {
    if (!child->IsCatalog()) continue;
    const auto& catalog = static_cast<const CDriveFileInfo&>(*child);
    std::vector<const CFileInfo*> chain;
    const auto place = [&](const CFileInfo& item) {
      const auto [first, last] = wanted.equal_range(&item);
      if (first == last) return;
      const std::optional<std::string> path = RealPathOfItem(catalog, chain);
      for (auto it = first; it != last; ++it) paths[it->second] = path;
    };
    place(catalog);
    // The chain holds the folders walked into; a folder leaves it when its
    // children are done.
    WalkBelow(
        catalog, {},
        [&](const CFileInfo& item, const CWalkPath&) {
          chain.push_back(&item);
          place(item);
          if (!item.IsContainer()) chain.pop_back();
        },
        [&](const CFolderFileInfo& folder) {
          if (&folder != &catalog) chain.pop_back();
        });
  }
  return paths;
}
