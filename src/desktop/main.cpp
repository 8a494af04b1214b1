#include <cstdio>

#include "desktop/desktop_app.h"
#include "desktop/start_arguments.h"
#include "platform/interruption.h"

int main(int argc, char** argv) {
  // --help and --version answer without a window, and without a display.
  if (const auto text = kelvane::InformationRequested(argc, argv)) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }
  kelvane::IgnoreFileSizeSignal();
  kelvane::CDesktopApp app(argc, argv);
  return app.Run();
}
