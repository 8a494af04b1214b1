// Per-thread locales, on POSIX.
#include "platform/utf8_locale.h"

#include <locale.h>

namespace kelvane {
namespace {

// Made once and kept for the life of the process; locales are not freed while in use.
locale_t Utf8Locale() {
  static const locale_t utf8 = [] {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
      if (locale_t made = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(0))) return made;
    }
    return static_cast<locale_t>(0);
  }();
  return utf8;
}

}  // namespace

struct ScopedUtf8Locale::Saved {
  locale_t previous;
};

ScopedUtf8Locale::ScopedUtf8Locale() {
  if (const locale_t utf8 = Utf8Locale()) saved_ = std::make_unique<Saved>(Saved{uselocale(utf8)});
}

ScopedUtf8Locale::~ScopedUtf8Locale() {
  if (saved_) uselocale(saved_->previous);
}

}  // namespace kelvane
