// ostrelctl extract: the program's own unpacking of an update package, with
// one line per entry, so that a package (or a hostile archive) can be tried
// without installing anything.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/printable.h"
#include "common/win/text.h"
#include "tools/ostrelctl/command.h"
#include "update/directory_tree.h"
#include "update/zip_extract.h"

namespace ostrelctl {

int RunExtract(Args args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: ostrelctl extract <archive> <folder>\n");
    return 2;
  }
  const std::wstring archive = ostrel::win::Widen(args[0], CP_ACP);
  const std::wstring folder = ostrel::win::Widen(args[1], CP_ACP);
  // As unzip -d does; the archive is still only opened after this.
  ostrel::update::CreateDirectoryTree(folder.c_str());
  const ostrel::update::ExtractReport report = ostrel::update::ExtractZip(archive.c_str(), folder.c_str());
  if (!report.opened) {
    std::fprintf(stderr, "ostrelctl: %s could not be opened as a zip archive\n",
                 std::string(args[0]).c_str());
    return 1;
  }
  std::size_t written = 0;
  for (const auto& entry : report.entries) {
    if (entry.refusal.empty()) {
      ++written;
      std::printf("%s\n", ostrel::win::Narrow(entry.written_path).c_str());
    } else {
      // Refused names are often the hostile ones: no control byte reaches the
      // terminal.
      std::printf("refused %s: %s\n", ostrel::Printable(entry.stored_name).c_str(), entry.refusal.c_str());
    }
  }
  if (!report.archive_error.empty()) std::printf("archive: %s\n", report.archive_error.c_str());
  std::printf("%zu of %zu entries written, %llu bytes\n", written, report.entries.size(),
              static_cast<unsigned long long>(report.total_bytes));
  return 0;
}

}  // namespace ostrelctl
