#pragma once
// Makes the desktop know the ".fcf" document type for the current user: a
// shared-mime-info package and a desktop entry under $XDG_DATA_HOME whose
// command starts this program with the file. Every failure is silent.

#include <string>

inline constexpr char kSetMimeType[] = "application/x-tallyhold";
inline constexpr char kSetTypeName[] = "Tally Hold Document";
// What file choosers and file managers in a Japanese desktop call the type.
inline constexpr char kSetTypeNameJapanese[] = "クオリクス カタログセット";

// $XDG_DATA_HOME when it is set to an absolute path, else $HOME/.local/share;
// empty when neither is known.
std::string XdgDataHome();

// The shared-mime-info package for the type.
std::string MimePackageText();
// The desktop entry that opens the type with program (an absolute path).
std::string DesktopEntryText(const std::string& program);
// program as one quoted argument of a desktop entry's Exec key, escaped for
// the entry's string syntax as well.
std::string DesktopExecQuote(const std::string& program);

// Writes the package to dataHome/mime/packages/quarrix-tallyhold.xml, the
// program's icon to dataHome/icons/hicolor/scalable/apps/quarrix.svg and the
// entry to dataHome/applications/quarrix.desktop, each only when missing or
// different; when something was written, runs update-mime-database and
// update-desktop-database on those folders if they are installed. Returns
// how many files were written.
int RegisterDocumentType(const std::string& dataHome, const std::string& program);
