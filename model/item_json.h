#pragma once
// The JSON object of one item, the one form that find --json and the JSON
// lines export both write, so that a field is added in one place.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "model/fingerprints.h"

class CFileInfo;

// How the object's times read: local time to the second with its offset
// (what people read, find --json), or UTC with all seven decimals of the
// stored time (what an import reads back exactly).
enum class EJsonTimes { Local, Exact };

// The object of item at the logical path path in catalog (its label, empty
// for the set). A real path is bytes: text when they are UTF-8, else null
// with the bytes in base64 as real_path_bytes, so that no path is changed on
// its way out; no real path is null. A file's content fingerprint, when its
// catalog took one, is xxh128 in hex.
nlohmann::ordered_json ItemJson(const CFileInfo& item, const std::string& path, const std::string& catalog,
                                const std::optional<std::string>& realPath,
                                const std::optional<CFingerprint>& fingerprint, EJsonTimes times);

// The value as one line of text, without and with the line feed; a stray
// byte that is no UTF-8 becomes U+FFFD rather than losing the line.
std::string JsonText(const nlohmann::ordered_json& value);
std::string JsonLine(const nlohmann::ordered_json& value);

// The item kinds as the JSON lines and the CSV name them.
const char* ItemKindName(const CFileInfo& item);
