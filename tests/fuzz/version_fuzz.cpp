// Version comparison and version-text filters: no text crashes or
// overflows them, comparisons of texts with the same number of parts are
// antisymmetric, and an accepted text is a short version of its channel's
// form that the comparison reads part by part.
#include <cstdint>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "update/version_compare.h"
#include "update/version_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ostrel::update;
  if (size < 3) return 0;
  const std::uint16_t device = static_cast<std::uint16_t>(data[0] | (data[1] << 8));
  // The rest, one byte per character (as a UTF-8 body of ASCII decodes),
  // split at the first zero byte into two texts.
  const std::wstring rest(data + 2, data + size);
  const std::size_t zero = rest.find(L'\0');
  const std::wstring a = rest.substr(0, zero);
  const std::wstring b = zero == std::wstring::npos ? std::wstring() : rest.substr(zero + 1);

  const int ab = CompareVersions(a, b);
  const int ba = CompareVersions(b, a);
  OSTREL_FUZZ_CHECK(ab >= -1 && ab <= 2);
  if (ab == 2) {
    OSTREL_FUZZ_CHECK(ba == 2);
  } else {
    OSTREL_FUZZ_CHECK(ab == -ba);
  }
  OSTREL_FUZZ_CHECK(CompareVersions(a, a) == 0);

  for (Channel channel : {Channel::Software, Channel::Firmware}) {
    const auto accepted = AcceptVersionText(channel, a);
    if (!accepted) continue;
    OSTREL_FUZZ_CHECK(!accepted->empty() && accepted->size() <= kMaxVersionTextLength);
    for (wchar_t c : *accepted) {
      OSTREL_FUZZ_CHECK((c >= L'0' && c <= L'9') || (c == L'.' && channel == Channel::Software));
    }
    OSTREL_FUZZ_CHECK(LeadingNumber(*accepted) >= 0);
    OSTREL_FUZZ_CHECK(FirmwareIsNewer(*accepted, device) ==
                      (LeadingNumber(*accepted) > DeviceFirmwareNumber(device)));
  }
  OSTREL_FUZZ_CHECK(!FirmwareIsNewer(a, std::nullopt));
  return 0;
}
