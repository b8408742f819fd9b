// Entry-name cleaning: whatever the stored name, an accepted path is
// relative, has no empty, "." or ".." step, no colon, no character Windows
// rejects or drops, no device name, and cleaning it again changes nothing.
// Entry names also go through the ledger, which must never accept a file
// and a folder of one name.
#include <cstdint>
#include <cstring>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "update/entry_ledger.h"
#include "update/zip_entry_name.h"

namespace {

void CheckAccepted(const ostrel::update::CleanedEntryName& cleaned) {
  using namespace ostrel::update;
  const std::wstring& path = cleaned.path;
  OSTREL_FUZZ_CHECK(!path.empty() && path.size() <= kMaxEntryNameLength);
  OSTREL_FUZZ_CHECK(path.front() != L'\\' && path.back() != L'\\');
  OSTREL_FUZZ_CHECK(path.find(L'/') == std::wstring::npos && path.find(L':') == std::wstring::npos);
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    const std::wstring_view step(path.data() + start, end - start);
    OSTREL_FUZZ_CHECK(!step.empty() && step != L"." && step != L"..");
    OSTREL_FUZZ_CHECK(StepRefusal(step).empty());
    OSTREL_FUZZ_CHECK(!IsDeviceName(step));
    start = end + 1;
  }
  const CleanedEntryName again = CleanEntryName(path);
  OSTREL_FUZZ_CHECK(again.ok() && again.path == path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Two bytes per character, as names reach the cleaning as UTF-16; a line
  // break splits the input into several entries of one archive.
  std::wstring text(size / 2, L'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<wchar_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  ostrel::update::EntryLedger ledger;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring name = text.substr(start, end - start);
    const auto cleaned = ostrel::update::CleanEntryName(name);
    if (cleaned.ok()) {
      CheckAccepted(cleaned);
      const bool directory = cleaned.names_directory;
      if (ledger.Claim(cleaned.path, directory).empty()) {
        // Once claimed, the other kind of the same name is refused.
        OSTREL_FUZZ_CHECK(!ledger.Claim(cleaned.path, !directory).empty());
      }
    }
    start = end + 1;
  }
  return 0;
}
