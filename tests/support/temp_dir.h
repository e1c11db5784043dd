#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#include <string>

// The whole of a file as text; empty when it cannot be read (a program's
// output a test waits on may not be there yet).
std::string FileText(const std::string& path);

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes a file under the folder (making its folders); returns its full path.
  std::string Write(const std::string& relative, const std::string& contents) const;

 private:
  std::string path_;
};
