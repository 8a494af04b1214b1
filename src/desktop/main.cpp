#include <cstdio>
#include <string>

#include "desktop/desktop_app.h"
#include "desktop/start_arguments.h"
#include "platform/interruption.h"
#include "platform/standard_streams.h"

int main(int argc, char** argv) {
  kelvane::EnsureStandardDescriptors();
  // --help and --version answer without a window, and without a display.
  if (const auto text = kelvane::InformationRequested(argc, argv)) {
    std::fputs(text->c_str(), stdout);
    if (const auto failure = kelvane::CloseStandardOutput()) {
      const std::string reason = failure->reason();
      std::fprintf(stderr, "kelvane-desktop: write error%s%s\n", reason.empty() ? "" : ": ", reason.c_str());
      return 1;
    }
    return 0;
  }
  kelvane::IgnoreFileSizeSignal();
  kelvane::CDesktopApp app(argc, argv);
  return app.Run();
}
