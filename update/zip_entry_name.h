// Where an archive entry may be written, decided from its stored name alone.
//
// The cleaning first strips what older tools put in front of a name, again
// and again until nothing changes: a drive prefix ("C:"), one leading "\" or
// "/", and everything up to and including a "\..\"-style step. So
// "..\..\a.txt" lands as "a.txt" and "C:\dir\a.txt" as "dir\a.txt". The rest
// is then taken apart at every separator: empty and "." steps are dropped, a
// ".." step drops everything before it as the first stage does, and every
// remaining step must be an ordinary file name on Windows. A name that fails
// is refused as a whole, never half-written somewhere else.
#pragma once

#include <string>
#include <string_view>

namespace ostrel::update {

// Longest stored name taken, in characters, as the platform's path limit.
inline constexpr std::size_t kMaxEntryNameLength = 260;

struct CleanedEntryName {
  std::wstring path;             // relative, steps joined by "\", no trailing separator
  bool names_directory = false;  // the stored name ended in a separator
  std::string_view refusal;      // empty when the entry may be written
  bool ok() const noexcept { return refusal.empty(); }
};

CleanedEntryName CleanEntryName(std::wstring_view stored);

// The stage the original cleaning performs, on its own.
std::wstring_view StripLeadingEscapes(std::wstring_view name) noexcept;

// Why one path step cannot be a file or folder name, or empty when it can.
std::string_view StepRefusal(std::wstring_view step) noexcept;

// "CON", "nul.txt", "COM1 .log": names Windows opens as devices.
bool IsDeviceName(std::wstring_view step) noexcept;

}  // namespace ostrel::update
