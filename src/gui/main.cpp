// barvane: the editor's window. An optional directory argument limits the portfolio search to
// the paths on the way to and below it, for this run only.
#include <filesystem>

#include "gui/barvane_app.h"

int main(int argc, char** argv) {
  CBarvaneApp app(argc, argv);
  std::string searchPath;
  if (argc > 1) {
    std::error_code ignored;
    searchPath = std::filesystem::absolute(argv[1], ignored).lexically_normal().string();
    while (searchPath.size() > 1 && searchPath.back() == '/') searchPath.pop_back();
  }
  if (!app.InitInstance(searchPath)) return 1;
  return app.exec();
}
