#pragma once
// Texts of the program's string table.

// The document template's texts, separated by "\n": window title, default
// document name (empty), short type name, filter name, extension, type
// identifier, type name.
inline constexpr char kDocTemplateString[] =
    "クオリクス\n\nTallyh\nクオリクス ファイル (*.fcf)\n.fcf\nTallyhold.Document\nTally Hold Document";

// Title of a document that has no file yet.
inline constexpr char kUntitledName[] = "無題";
