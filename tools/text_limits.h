// The limits a package's texts keep so that the installer stores, shows and reads them back
// whole. Shared by the manifest reader, which refuses a text that breaks one, and by verify.
#pragma once

#include <cstddef>
#include <string>

namespace sfxpack {

// The controls that show page lines hold 47 characters, the agreement box 528; when the page is
// read back, a longer text makes the wizard stop with a length message.
constexpr size_t kLineCharacters = 47;
constexpr size_t kAgreementCharacters = 528;

// Byte room of the settings fields (terminator excluded).
constexpr size_t kNameRoom = 255;      // file names, subfolders, application name, readme, program
constexpr size_t kProgramRoom = 254;   // a file type's program
constexpr size_t kExtensionRoom = 3;   // written over the first four bytes of its record
constexpr size_t kCaptionRoom = 67;    // the background window's caption
constexpr size_t kLongLineRoom = 527;  // page line 2 (the agreement text)

// Characters as a Windows control counts them: a GBK double-byte character is one.
size_t CharacterCount(const std::string& gbk);

// Byte room of page line `line`.
size_t PageLineRoom(int line);
// How many characters page `page` shows of line `line`; 0 when the page does not show it.
size_t PageLineCharacters(int page, int line);

// What is wrong with `gbk` as one settings item (a byte that would end or split it, or more than
// an item holds), or the empty text when nothing is.
std::string ItemProblem(const std::string& gbk);

// ItemProblem, then the byte room `room` and, when `characters` is not 0, the character limit,
// which `where` names ("the welcome page shows"). The empty text when `gbk` keeps them all.
std::string LimitProblem(const std::string& gbk, size_t room, size_t characters = 0,
                         const std::string& where = "");

}  // namespace sfxpack
