// The command interpreter reads a batch file in the system's console (OEM) code page, not in
// the code page the program's texts are in: names the program writes into a batch file are
// turned into the bytes the interpreter will read back as the same name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// The program's text as the system's console code page writes it; nothing when a character
// has no exact form there (a look-alike would name another file).
std::optional<std::string> ToConsoleText(std::string_view ansi);

// The same between two given code pages, so that both the usual pair and UTF-8 can be
// tested on any machine.
std::optional<std::string> RecodeExactly(std::string_view text, unsigned fromCodePage,
                                         unsigned toCodePage);

// A folder as the console can be given it: its own name when the console code page holds it,
// else its short (8.3) form when that is written in plain characters; nothing otherwise.
std::optional<std::string> ConsoleFolder(const std::string& ansiFolder);

}  // namespace quillon
