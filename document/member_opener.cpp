#include "document/member_opener.h"

#include <atomic>

#include "document/background_work.h"
#include "model/member_copy.h"
#include "model/text_format.h"
#include "model/work_progress.h"
#include "platform/content_reader.h"
#include "platform/private_copy.h"

namespace {
const char kMemberCopyCaption[] = "アーカイブから取り出しています";
}  // namespace

std::string& MemberCopyArea() {
  static std::string area = DefaultCopyArea();
  return area;
}

EExtract ExtractMemberCopy(wxWindow* parent, const std::string& archivePath, const CMemberPath& where,
                           std::string& path) {
  if (where.levels.empty() || where.levels.back().empty()) return EExtract::NotFound;
  const std::string name = where.levels.back().back();
  std::atomic<bool> cancel{false};
  CWorkProgress progress;
  progress.pCancel = &cancel;
  progress.nTotal = where.nListedSize;
  CMemberCopy copy;
  EExtract result = EExtract::Unreadable;
  const std::string area = MemberCopyArea();
  RunInBackground(
      [&] {
        const auto reader = MakeFileContentReader();
        result = copy.Extract(*reader, archivePath, where, area, &progress);
      },
      [&](std::function<bool()> done) {
        return std::make_unique<CProgressDlg>(
            parent, kMemberCopyCaption, "WorkProgressLayout", std::move(done), [&progress, name](CProgressDlg& dialog) {
              dialog.SetText("ID_MESSAGE", MemberCopyProgressText(name, progress.nDone.load(), progress.nTotal.load()));
              dialog.SetGauge(progress.Permille());
            });
      },
      cancel);
  // キャンセル as the work ended: nothing is left, as the user asked.
  if (result == EExtract::Done && cancel.load()) result = EExtract::Cancelled;
  if (result == EExtract::Done) path = copy.Keep();
  return result;
}

std::string MemberCopyMessage(EExtract result) {
  switch (result) {
    case EExtract::Done: break;
    case EExtract::NotFound:
      return "アーカイブの中にこのファイルが見つかりませんでした\n"
             "カタログを作成した後にアーカイブが変更された可能性があります";
    case EExtract::Unreadable:
      return "アーカイブからファイルを取り出せませんでした\nアーカイブが壊れているか、読み取れません";
    case EExtract::Cancelled: return "ファイルの取り出しをキャンセルしました";
    case EExtract::TooLarge:
      return "ファイルが一覧の大きさを超えて展開されるため、取り出しを中止しました\n"
             "アーカイブが壊れている可能性があります";
    case EExtract::NotAFile: return "このファイルはシンボリックリンクなどの通常のファイルではないため、開けません";
    case EExtract::WriteFailed:
      return "取り出したファイルを一時フォルダに書き込めませんでした\n空き容量を確かめてください";
  }
  return std::string();
}

std::string MemberCopyProgressText(const std::string& name, std::uint64_t done, std::uint64_t total) {
  return "【" + name + "】 を取り出しています\n" + FormatCount(done) + " / " + FormatCount(total) + " バイト";
}

void RemoveMemberCopies() { RemoveOwnCopies(MemberCopyArea()); }

void RemoveLeftMemberCopies() { RemoveStaleCopies(MemberCopyArea()); }
