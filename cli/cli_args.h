#pragma once
// The options each command knows, checked before the command runs: an
// unknown option (a misspelt one would otherwise become a path or a label)
// is a usage error, and "--" ends the options.

#include <string>
#include <vector>

enum class EArgsCheck {
  Run,      // args are ready for the command
  Help,     // --help or -h among the options: show the command's usage
  Refused,  // an unknown option, or one without its values: error says which
};

// The options every command that saves the set it read takes. They leave
// args: the save reads them, not the command.
struct CSaveArgs {
  bool bDropDamagedRecords = false;  // --drop-damaged-records
};

// Whether command saves the set it read, and so takes CSaveArgs.
bool CommandSavesSet(const std::string& command);

// Checks args of command against its options and puts them in the order
// the commands read: options with their values first, then the operands,
// after a "--" when there are options or an operand starts with "-".
EArgsCheck CheckCommandArgs(const std::string& command, std::vector<std::string>& args, std::string& error,
                            CSaveArgs& save);
