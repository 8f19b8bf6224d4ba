#pragma once
// The framework's own texts (stock buttons, GTK's file and folder dialogs,
// wx's messages) in Japanese whatever the user's locale, from the toolkits'
// own translations; and the message for a start without a display.

// Loads wx's Japanese catalog and puts GTK's messages into a Japanese
// locale; numbers, dates and character handling keep the user's locale.
// False when a part could not be had (the texts then stay English there).
bool UseJapaneseFrameworkTexts();

// What the program prints when it cannot reach a display.
inline constexpr char kNoDisplayMessage[] =
    "quarrix: 画面（ディスプレイ）に接続できないため起動できません。\n"
    "DISPLAY または WAYLAND_DISPLAY を設定してください。"
    "画面のない環境では quarrix-cli を使ってください。\n";
