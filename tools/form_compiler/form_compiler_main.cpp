// form_compiler compile SOURCE.form HAPSDIR: writes HAPSDIR/<name>.HAP with
// the game's own form writer; form_compiler decompile FILE.HAP: prints the
// source of a form file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_object.h"
#include "form_source.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "ui/form_file.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: form_compiler compile SOURCE HAPSDIR\n       form_compiler decompile FILE.HAP\n");
  return 2;
}

// The form files are read and written where the game looks for them: the
// folder becomes the data root and the form directory is empty.
void UseFolder(const std::filesystem::path& folder) {
  plat::SetDataRoot(folder.empty() ? std::string(".") : folder.string());
  g_app.hapsDirectory[0] = '\0';
}

int Compile(const std::filesystem::path& source, const std::filesystem::path& outDir) {
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", source.string().c_str());
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  FormSource form = ParseFormSource(text.str(), source.string());
  if (!form.root) {
    std::fprintf(stderr, "%s\n", form.error.c_str());
    return 1;
  }
  std::error_code ignored;
  std::filesystem::create_directories(outDir, ignored);
  UseFolder(outDir);
  StampClock clock(form.stamp);
  plat::SetClockSource(&clock);
  const std::string name = source.stem().string();
  const plat::Status status = SaveFormFile(form.header, form.root.get(), name.c_str());
  plat::SetClockSource(nullptr);
  if (plat::Failed(status)) {
    std::fprintf(stderr, "%s: %s.HAP could not be written in %s\n", source.string().c_str(), name.c_str(),
                 outDir.string().c_str());
    return 1;
  }
  return 0;
}

int Decompile(const std::filesystem::path& file) {
  std::string name = file.filename().string();
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || strcasecmp(name.c_str() + dot, ".HAP") != 0) {
    std::fprintf(stderr, "%s: a form file ends in .HAP\n", file.string().c_str());
    return 1;
  }
  name.resize(dot);
  UseFolder(file.parent_path());
  FormHeader header;
  Control* root = LoadFormFile(name.c_str(), nullptr, &header, nullptr);
  if (!root) {
    std::fprintf(stderr, "%s: cannot be read as a form\n", file.string().c_str());
    return 1;
  }
  const std::string source = PrintFormSource(header, root);
  ControlTreeDeleter{}(root);
  std::fwrite(source.data(), 1, source.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "compile") == 0) return Compile(argv[2], argv[3]);
  if (argc == 3 && std::strcmp(argv[1], "decompile") == 0) return Decompile(argv[2]);
  return Usage();
}
