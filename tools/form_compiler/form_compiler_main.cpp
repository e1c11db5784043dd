// form_compiler compile SOURCE.form HAPSDIR: writes HAPSDIR/<name>.HAP with
// the game's own form writer; form_compiler placeholders LIST HAPSDIR: writes
// the one-box form of each tag listed; form_compiler decompile FILE.HAP:
// prints the source of a form file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_object.h"
#include "form_source.h"
#include "placeholder_forms.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "ui/form_file.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: form_compiler compile SOURCE HAPSDIR\n       form_compiler placeholders LIST HAPSDIR\n"
               "       form_compiler decompile FILE.HAP\n");
  return 2;
}

// The form files are read and written where the game looks for them: the
// folder becomes the data root and the form directory is empty.
void UseFolder(const std::filesystem::path& folder) {
  plat::SetDataRoot(folder.empty() ? std::string(".") : folder.string());
  g_app.hapsDirectory[0] = '\0';
}

bool ReadFile(const std::filesystem::path& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot be read\n", path.string().c_str());
    return false;
  }
  std::ostringstream out;
  out << in.rdbuf();
  *text = out.str();
  return true;
}

// Writes OUTDIR/<name>.HAP from a source text; false with the reason told.
bool WriteForm(const std::string& text, const std::string& sourceName, const std::string& name,
               const std::filesystem::path& outDir) {
  FormSource form = ParseFormSource(text, sourceName);
  if (!form.root) {
    std::fprintf(stderr, "%s\n", form.error.c_str());
    return false;
  }
  std::error_code ignored;
  std::filesystem::create_directories(outDir, ignored);
  UseFolder(outDir);
  StampClock clock(form.stamp);
  plat::SetClockSource(&clock);
  const plat::Status status = SaveFormFile(form.header, form.root.get(), name.c_str());
  plat::SetClockSource(nullptr);
  if (plat::Failed(status)) {
    std::fprintf(stderr, "%s: %s.HAP could not be written in %s\n", sourceName.c_str(), name.c_str(),
                 outDir.string().c_str());
    return false;
  }
  return true;
}

int Compile(const std::filesystem::path& source, const std::filesystem::path& outDir) {
  std::string text;
  if (!ReadFile(source, &text)) return 1;
  return WriteForm(text, source.string(), source.stem().string(), outDir) ? 0 : 1;
}

// A tag is authored as a source beside the list or listed, never both: the
// list's form would silently replace the authored one.
int CompilePlaceholders(const std::filesystem::path& list, const std::filesystem::path& outDir) {
  std::string text;
  if (!ReadFile(list, &text)) return 1;
  const PlaceholderList placeholders = ParsePlaceholderList(text, list.string());
  if (!placeholders.error.empty()) {
    std::fprintf(stderr, "%s\n", placeholders.error.c_str());
    return 1;
  }
  const std::filesystem::path sources = list.parent_path();
  for (const std::string& tag : placeholders.tags) {
    if (std::filesystem::exists(sources / (tag + ".form"))) {
      std::fprintf(stderr, "%s: %s has its own source %s.form; take it off the list\n", list.string().c_str(),
                   tag.c_str(), tag.c_str());
      return 1;
    }
    if (!WriteForm(PlaceholderFormSource(tag), list.string() + ":" + tag, tag, outDir)) return 1;
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
  if (argc == 4 && std::strcmp(argv[1], "placeholders") == 0) return CompilePlaceholders(argv[2], argv[3]);
  if (argc == 3 && std::strcmp(argv[1], "decompile") == 0) return Decompile(argv[2]);
  return Usage();
}
