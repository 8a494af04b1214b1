#pragma once

// Unpacked files a run is done with, and the archives' folders that held them, kept in
// a folder of their own to be written over by the files of the archives after them,
// and to be their folders. A file written over keeps the room the system gave it, and
// a folder moved is not made anew: making a new file or folder and freeing an old one,
// which unpacking a season would otherwise do for every file and every archive, cost
// the system more than the writing itself (on some file systems a new folder costs
// more the more were removed lately). Files and folders are only made new when no
// spare is there, so the working area never holds more of them than were in use at
// once. Safe to use from several threads.

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

  // The folder `name` made in `parent`, where nothing may be, and empty: a spare
  // folder moved there where there is one, whatever was put in it meanwhile removed,
  // else a new one (OwnFolder::MakeFolder). FileError when it cannot be made.
  OwnFolder MakeFolder(const OwnFolder& parent, const std::string& name);

  // Keeps the folder `name` of `parent` as a spare, its files as spares first (Keep);
  // removes it instead once the spares are discarded, or when it cannot be moved.
  void KeepFolder(const OwnFolder& parent, const std::string& name);

  // Removes the spares, folders too, and keeps none from then on: once no archive is
  // left to be unpacked, their room is given back while the last archives are worked
  // on, not at the end of the run.
  void Discard();

 private:
  OwnFolder folder_;
  std::mutex mutex_;
  struct Spare {
    std::string hadName;  // the name it had in its archive's folder
    std::string name;     // its name among the spares
  };
  std::vector<Spare> spares_;         // the spare files there now
  std::vector<std::string> folders_;  // the names of the spare folders there now
  std::size_t named_ = 0;             // spares named so far, for the next one's name
  bool discarded_ = false;
};

}  // namespace kelvane
