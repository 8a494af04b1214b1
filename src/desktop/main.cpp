#include <csignal>

#include "desktop/desktop_app.h"

int main(int argc, char** argv) {
  // A file size limit then arrives as an EFBIG write error, not as a killed process.
  std::signal(SIGXFSZ, SIG_IGN);
  kelvane::CDesktopApp app(argc, argv);
  return app.Run();
}
