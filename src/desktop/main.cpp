#include <csignal>
#include <cstdio>

#include "desktop/desktop_app.h"
#include "desktop/start_arguments.h"

int main(int argc, char** argv) {
  // --help and --version answer without a window, and without a display.
  if (const auto text = kelvane::InformationRequested(argc, argv)) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }
  // A file size limit then arrives as an EFBIG write error, not as a killed process.
  std::signal(SIGXFSZ, SIG_IGN);
  kelvane::CDesktopApp app(argc, argv);
  return app.Run();
}
