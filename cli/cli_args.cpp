#include "cli/cli_args.h"

#include <cstring>

namespace {

// How many values follow an option; kAllValues: every argument up to the
// next option.
constexpr int kAllValues = -1;

struct COption {
  const char* pszName;
  int nValues;
};

struct CCommandOptions {
  const char* pszCommand;
  std::vector<COption> options;
};

const CCommandOptions kCommandOptions[] = {
    {"add",
     {{"--quiet", 0},
      {"--follow-links", 0},
      {"--cross-file-systems", 0},
      {"--exclude", 1},
      {"--hash", 0},
      {"--archives", 0},
      {"--archive-depth", 1}}},
    {"update",
     {{"--quiet", 0},
      {"--hash", 0},
      {"--archives", 0},
      {"--archive-depth", 1},
      {"--follow-links", 0},
      {"--cross-file-systems", 0},
      {"--exclude", 1},
      {"--paths", kAllValues},
      {"--force", 0},
      {"--dry-run", 0}}},
    {"find",
     {{"--from", 1},
      {"--name", 1},
      {"--note", 1},
      {"--size", 2},
      {"--date", 2},
      {"--exact", 0},
      {"--case", 0},
      {"--width", 0},
      {"--kana", 0},
      {"--json", 0},
      {"--real-path", 0}}},
    {"note", {{"--text", 1}}},
    {"report", {{"--catalog", 1}, {"--columns", 1}, {"--members", 0}}},
    {"identify", {}},
    {"export", {{"--catalog", 1}, {"--format", 1}, {"-o", 1}, {"--spreadsheet-safe", 0}}},
    {"import", {{"--format", 1}, {"--base", 1}, {"--skip-bad", 0}}},
    {"verify", {{"--json", 0}, {"--quiet", 0}, {"--force", 0}}},
    {"hashes", {}},
    {"copies",
     {{"--catalog", 1}, {"--fewer-than", 1}, {"--by", 1}, {"--min-size", 1}, {"--summary", 0}, {"--json", 0}}},
    {"dupes", {{"--by", 1}, {"--min-size", 1}, {"--json", 0}}},
};

// The commands that save the set they read: a save may be asked to drop
// records that did not read.
const char* const kSetSavers[] = {"add", "update", "copy", "note", "rm", "import"};
constexpr char kDropDamagedRecords[] = "--drop-damaged-records";

bool LooksLikeOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

}  // namespace

bool CommandSavesSet(const std::string& command) {
  for (const char* saver : kSetSavers)
    if (command == saver) return true;
  return false;
}

EArgsCheck CheckCommandArgs(const std::string& command, std::vector<std::string>& args, std::string& error,
                            CSaveArgs& save) {
  static const std::vector<COption> kNone;
  const std::vector<COption>* options = &kNone;
  for (const CCommandOptions& known : kCommandOptions)
    if (command == known.pszCommand) options = &known.options;
  const bool saves = CommandSavesSet(command);

  std::vector<std::string> ordered, operands;
  bool ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (ended || !LooksLikeOption(arg)) {
      operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      ended = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") return EArgsCheck::Help;
    if (saves && arg == kDropDamagedRecords) {
      save.bDropDamagedRecords = true;
      continue;
    }
    const COption* option = nullptr;
    for (const COption& known : *options)
      if (arg == known.pszName) option = &known;
    if (option == nullptr) {
      error = "不明なオプションです: " + arg;
      return EArgsCheck::Refused;
    }
    ordered.push_back(arg);
    if (option->nValues == kAllValues) {
      while (i + 1 < args.size() && !LooksLikeOption(args[i + 1])) ordered.push_back(args[++i]);
      continue;
    }
    if (i + std::size_t(option->nValues) >= args.size()) {
      error = arg + " の値がありません";
      return EArgsCheck::Refused;
    }
    for (int n = 0; n < option->nValues; ++n) ordered.push_back(args[++i]);
  }
  // After options, "--" keeps an option that takes every value up to the
  // next one (--paths) from swallowing the operands, as it keeps operands
  // that start with "-" from being read as options.
  bool dashed = !ordered.empty();
  for (const std::string& operand : operands) dashed = dashed || LooksLikeOption(operand) || operand == "--";
  if (dashed) ordered.push_back("--");
  ordered.insert(ordered.end(), operands.begin(), operands.end());
  args.swap(ordered);
  return EArgsCheck::Run;
}
