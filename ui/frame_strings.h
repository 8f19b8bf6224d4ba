#pragma once
// The main window's texts from the string table: command prompts (the part
// after "\n" is the tooltip) and the status bar's panes.

#include <string>

inline constexpr char kIdleMessage[] = "ﾚﾃﾞｨ";
inline constexpr char kIndicatorKana[] = "ｶﾅ";
inline constexpr char kIndicatorCaps[] = "CAP";
inline constexpr char kIndicatorNum[] = "NUM";
inline constexpr char kIndicatorScroll[] = "SCRL";

// The info bar's offer for a medium just connected that is the catalog label.
std::string MediumConnectedNotice(const std::string& label);
inline constexpr char kUpdateConnectedButton[] = "更新";

// The string-table prompt of a command ("" for commands without one).
std::string CommandPromptString(int id);
// Its status-bar part (before "\n") and its tooltip (after "\n", if any;
// the framework's new, open, save and about have a tooltip of their own).
std::string CommandPrompt(int id);
std::string CommandTooltip(int id);
