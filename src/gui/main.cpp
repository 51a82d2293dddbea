// barvane: the editor's window. An optional directory argument limits the portfolio search to
// the paths on the way to and below it, for this run only.
#include <filesystem>

#include "data/memory_reuse.h"
#include "gui/barvane_app.h"
#include "gui/qt_text.h"

int main(int argc, char** argv) {
  barvane::ReuseFreedMemory();
  CBarvaneApp app(argc, argv);
  std::string searchPath;
  if (argc > 1) {
    std::error_code ignored;
#ifdef _WIN32
    // argv holds the words in the ANSI code page; Qt reads them as Windows gives them, UTF-16.
    const std::string given = ToPath(QCoreApplication::arguments().value(1));
#else
    const std::string given = argv[1];
#endif
    const std::u8string tidy =
        std::filesystem::absolute(std::u8string(given.begin(), given.end()), ignored).lexically_normal().generic_u8string();
    searchPath.assign(tidy.begin(), tidy.end());
    while (searchPath.size() > 1 && searchPath.back() == '/') searchPath.pop_back();
  }
  if (!app.InitInstance(searchPath)) return 1;
  return app.exec();
}
