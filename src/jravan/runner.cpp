#include "jravan/runner.h"

#include <optional>

#include "jravan/horse_register.h"

namespace kelvane {

bool Runner::ReadHorseRecord(const std::string& path, const std::string& horseId, int raceYear,
                             MessageSink& messages) {
  const std::optional<HorseRegister> horses = HorseRegister::Open(path, messages);
  return horses && horses->ReadRunner(horseId, raceYear, *this, messages);
}

}  // namespace kelvane
