#pragma once

// Unpacked files a run is done with, kept in a folder of its own to be written over
// by the files of the archives after them. A file written over keeps the room the
// system gave it: making a new file and freeing an old one, which unpacking a season
// would otherwise do for every file of every archive, cost the system more than the
// writing itself. Files are only made new when no spare is there, so the files of the
// working area, spares included, are never more than were in use at once. Safe to
// use from several threads.

#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/own_folder.h"

namespace kelvane {

class SpareFiles {
 public:
  // Spares kept in `folder`.
  explicit SpareFiles(OwnFolder folder);

  // A spare moved to `name` in `folder`, where nothing may be, and open to be
  // written over from its start, to become the file `finalName`: one that had that
  // name where there is one (files of one name are much of a size from archive to
  // archive, so little room is freed or made anew), else any. nullptr when there is
  // none.
  std::FILE* Reuse(const OwnFolder& folder, const std::string& name, const std::string& finalName);

  // Keeps the files of `folder` as spares; what cannot be moved stays where it is.
  // Once the spares are discarded it keeps nothing.
  void Keep(const OwnFolder& folder);

  // Removes the spares and keeps none from then on: once no archive is left to be
  // unpacked, their room is given back while the last archives are worked on, not
  // at the end of the run.
  void Discard();

 private:
  OwnFolder folder_;
  std::mutex mutex_;
  struct Spare {
    std::string hadName;  // the name it had in its archive's folder
    std::string name;     // its name among the spares
  };
  std::vector<Spare> spares_;  // the spares there now
  std::size_t named_ = 0;           // spares named so far, for the next one's name
  bool discarded_ = false;
};

}  // namespace kelvane
