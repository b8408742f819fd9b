#include "update/zip_entry_name.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ostrel::update {

namespace {

bool IsSeparator(wchar_t c) noexcept { return c == L'\\' || c == L'/'; }

// C0 and C1 controls and DEL. The C1 range is also where the ANSI code
// page's undefined bytes (0x81, 0x8D, ...) end up, so a name that is no
// text in that code page is caught here.
bool IsControl(wchar_t c) noexcept { return c < 32 || (c >= 0x7F && c <= 0x9F); }

wchar_t AsciiUpper(wchar_t c) noexcept { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; }

bool EqualsUpper(std::wstring_view text, std::wstring_view upper) noexcept {
  return text.size() == upper.size() && std::equal(text.begin(), text.end(), upper.begin(),
                                                   [](wchar_t a, wchar_t b) { return AsciiUpper(a) == b; });
}

// The earliest of "\..\", "\../", "/../" and "/..\".
std::size_t FindParentStep(std::wstring_view name) noexcept {
  for (std::size_t i = 0; i + 4 <= name.size(); ++i) {
    if (IsSeparator(name[i]) && name[i + 1] == L'.' && name[i + 2] == L'.' && IsSeparator(name[i + 3]))
      return i;
  }
  return std::wstring_view::npos;
}

}  // namespace

std::wstring_view StripLeadingEscapes(std::wstring_view name) noexcept {
  bool changed = true;
  while (changed) {
    changed = false;
    if (name.size() >= 2 && name[1] == L':') {
      name.remove_prefix(2);
      changed = true;
    }
    if (!name.empty() && IsSeparator(name[0])) {
      name.remove_prefix(1);
      changed = true;
    }
    if (const std::size_t step = FindParentStep(name); step != std::wstring_view::npos) {
      name.remove_prefix(step + 4);
      changed = true;
    }
  }
  return name;
}

bool IsDeviceName(std::wstring_view step) noexcept {
  // Windows ignores everything from the first dot and trailing spaces before
  // it when it looks for a device.
  std::wstring_view base = step.substr(0, step.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN",    L"AUX",
                                                              L"NUL", L"CONIN$", L"CONOUT$"};
  for (std::wstring_view device : kPlain) {
    if (EqualsUpper(base, device)) return true;
  }
  if (base.size() == 4 &&
      (EqualsUpper(base.substr(0, 3), L"COM") || EqualsUpper(base.substr(0, 3), L"LPT"))) {
    const wchar_t n = base[3];
    // Superscript one, two and three count as digits here too.
    return (n >= L'0' && n <= L'9') || n == L'\u00B9' || n == L'\u00B2' || n == L'\u00B3';
  }
  return false;
}

std::string_view StepRefusal(std::wstring_view step) noexcept {
  for (wchar_t c : step) {
    if (IsControl(c)) return "control character in the name";
    if (c == L':') return "colon in the name (drive or alternate data stream)";
    if (c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') {
      return "character not allowed in a file name";
    }
  }
  // Windows drops trailing dots and spaces, so such a step would name
  // another file than the one checked.
  if (!step.empty() && (step.back() == L'.' || step.back() == L' ')) return "trailing dot or space";
  if (IsDeviceName(step)) return "device name";
  return {};
}

CleanedEntryName CleanEntryName(std::wstring_view stored) {
  CleanedEntryName result;
  if (stored.size() > kMaxEntryNameLength) {
    result.refusal = "name longer than 260 characters";
    return result;
  }
  // Checked before any cleaning: a zero byte ends the name for every C
  // string reader, so what follows it must not be what gets written.
  for (wchar_t c : stored) {
    if (IsControl(c)) {
      result.refusal = "control character in the name";
      return result;
    }
  }
  const std::wstring_view name = StripLeadingEscapes(stored);
  result.names_directory = !name.empty() && IsSeparator(name.back());

  std::vector<std::wstring_view> steps;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::wstring_view step = name.substr(start, end - start);
    if (step == L"..") {
      steps.clear();
    } else if (!step.empty() && step != L".") {
      if (const std::string_view why = StepRefusal(step); !why.empty()) {
        result.refusal = why;
        return result;
      }
      steps.push_back(step);
    }
    start = end + 1;
  }
  if (steps.empty()) {
    result.refusal = "no name left inside the folder";
    return result;
  }
  for (std::wstring_view step : steps) {
    if (!result.path.empty()) result.path += L'\\';
    result.path += step;
  }
  return result;
}

}  // namespace ostrel::update
