// Reads the fixed version block of a program file: its four numbers and the
// dotted text of the first three.
#pragma once

#include <string>

#include "platform/classlib/System.h"

class TrsFileVersion : public TObject {
  QV_CLASS(TrsFileVersion, TObject)

  // Major, minor and release joined by "."; empty when nothing was read.
  std::string Version;
  int Major = 0;
  int Minor = 0;
  int Release = 0;
  int Build = 0;

  TrsFileVersion();
  // True when the file's version block was read; false leaves the object
  // cleared.
  bool ReadFromFile(const std::string& FileName);
  void Clear();
  // Writes only the outputs that are given.
  bool QueryFixedFileInfo(const std::string& FileName, int* Major, int* Minor, int* Release, int* Build);
};
