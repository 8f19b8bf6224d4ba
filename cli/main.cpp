// quarrix-cli: the catalog set core for scripts and headless use.

#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/cli_common.h"
#include "platform/heap_arenas.h"

#ifndef QUARRIX_VERSION
#define QUARRIX_VERSION ""
#endif

namespace {

struct CCommand {
  const char* pszName;
  int (*pfnRun)(const std::vector<std::string>& args);
};

const CCommand kCommands[] = {
    {"new", CmdNew},       {"add", CmdAdd},       {"update", CmdUpdate}, {"dump", CmdDump},
    {"copy", CmdCopy},     {"ls", CmdLs},         {"find", CmdFind},     {"info", CmdInfo},
    {"note", CmdNote},     {"rm", CmdRm},         {"report", CmdReport}, {"identify", CmdIdentify},
    {"verify", CmdVerify}, {"hashes", CmdHashes}, {"copies", CmdCopies}, {"dupes", CmdDupes},
    {"export", CmdExport}, {"import", CmdImport},
};

int Run(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stdout);
    return EXIT_USAGE;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    // "help COMMAND" is that command's help.
    if (argc > 2 && PrintCommandUsage(stdout, argv[2])) return EXIT_OK;
    PrintUsage(stdout);
    return EXIT_OK;
  }
  if (name == "--version") {
    WriteOut(std::string("quarrix-cli ") + QUARRIX_VERSION + "\n");
    return EXIT_OK;
  }
  for (const CCommand& command : kCommands) {
    if (name != command.pszName) continue;
    std::vector<std::string> args(argv + 2, argv + argc);
    std::string error;
    CSaveArgs save;
    switch (CheckCommandArgs(name, args, error, save)) {
      case EArgsCheck::Help: PrintCommandUsage(stdout, name); return EXIT_OK;
      case EArgsCheck::Refused:
        ReportError(ArgText(error));
        PrintCommandUsage(stderr, name);
        return EXIT_USAGE;
      case EArgsCheck::Run: break;
    }
    SetSaveArgs(save);
    return command.pfnRun(args);
  }
  return UsageError("不明なコマンドです: " + ArgText(name));
}

}  // namespace

int main(int argc, char** argv) {
  LimitHeapArenas();
  int status = EXIT_OK;
  try {
    status = Run(argc, argv);
  } catch (const std::bad_alloc&) {
    ReportError("メモリが足りません");
    return EXIT_IO;
  } catch (const std::exception& e) {
    ReportError(std::string("処理を続けられません: ") + e.what());
    return EXIT_IO;
  }
  // A listing cut short (a full disk, a closed pipe) must not pass for success.
  if ((std::fflush(stdout) != 0 || std::ferror(stdout)) && status < EXIT_USAGE) {
    ReportError("出力を書き込めませんでした");
    return EXIT_IO;
  }
  return status;
}
