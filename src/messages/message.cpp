#include "messages/message.h"

namespace kelvane {

void PlacingSink::ShowMessage(const Message& message) {
  Message placed = message;
  MessagePlace& p = placed.place;
  if (p.archive.empty()) p.archive = place_.archive;
  if (p.cardRace == 0) {
    p.cardRace = place_.cardRace;
    p.year = place_.year;
    p.monthDay = place_.monthDay;
    p.racecourseName = place_.racecourseName;
    p.raceNumber = place_.raceNumber;
  }
  if (p.entry == 0) {
    p.entry = place_.entry;
    p.horseId = place_.horseId;
  }
  next_.ShowMessage(placed);
}

}  // namespace kelvane
