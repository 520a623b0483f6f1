// The one place where the program's single-byte (ANSI code page) text meets the UTF-16
// that Windows' wide functions take.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// ANSI text to UTF-16; every ANSI byte sequence has a UTF-16 form.
std::wstring WidenAnsi(std::string_view ansi);

// UTF-16 to ANSI, or nothing when some character has no exact ANSI form (so a name is
// never silently turned into another one).
std::optional<std::string> NarrowToAnsi(std::wstring_view wide);

// UTF-16 to ANSI with every unrepresentable character written as '?'. Windows forbids '?'
// in file names, so a path made this way can never open a different file than meant.
std::string NarrowToAnsiMarked(std::wstring_view wide);

// The same three for a named code page; the ones above use the system's ANSI code page,
// which is 65001 (UTF-8) when Windows is set to use UTF-8 for worldwide language support.
// Under 65001 every character has an exact form, and only a lone half of a surrogate pair
// (which names no character) is refused, or marked.
std::wstring WidenFromCodePage(std::string_view text, unsigned codePage);
std::optional<std::string> NarrowToCodePage(std::wstring_view wide, unsigned codePage);
std::string NarrowToCodePageMarked(std::wstring_view wide, unsigned codePage);

// The code pages of the system itself, which programs without a code page of their own use:
// the command interpreter reads batch files in the OEM one. A program that declares UTF-8
// gets 65001 from GetACP and GetOEMCP alike, so these ask the system.
unsigned SystemAnsiCodePage();
unsigned SystemOemCodePage();

// Text a user wrote into a file of ours (a script's name): UTF-8 when it is valid UTF-8,
// otherwise the system's ANSI code page, in which editors saved "ANSI" files.
std::wstring WidenUserText(std::string_view bytes);

}  // namespace quillon
