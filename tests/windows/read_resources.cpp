// read_resources MANIFEST
// Reads back the string resources of every Windows gateway DLL through the
// Windows resource API: the strings 100 "MATLAB R11 native" and 101 "not
// inlined" and nothing else, except in axisfold, aliascheck and opcharge,
// which carry no resources at all.  MANIFEST lines: "<path below the build
// directory> <entry point> <ON|OFF: built with resources>"; the build
// directory is the parent of this program's directory (<build>/bin).
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string build_dir() {
  std::vector<char> path(32768);
  DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::string p(path.data(), n < path.size() ? n : 0);
  for (int up = 0; up < 2; ++up) p = p.substr(0, p.find_last_of("/\\"));
  return p;
}

BOOL CALLBACK count_type(HMODULE, LPSTR, LONG_PTR count) {
  ++*reinterpret_cast<int *>(count);
  return TRUE;
}

// String `id` as UTF-8, or "<none>" when the table has no such string.
std::string string_resource(HMODULE lib, UINT id) {
  const wchar_t *text = nullptr;
  int n = LoadStringW(lib, id, reinterpret_cast<LPWSTR>(&text), 0);  // read-only view
  if (n <= 0 || !text) return "<none>";
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, n, out.data(), bytes, nullptr, nullptr);
  return out;
}

// Checks one library; prints what it found and returns whether it matches.
bool check(const std::string &top, const std::string &rel, bool want_resources) {
  std::string full = top + "/" + rel;
  const char *path = rel.c_str();
  HMODULE lib = LoadLibraryExA(full.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!lib) {
    std::printf("FAIL %s: cannot open (error %lu)\n", path, GetLastError());
    return false;
  }
  int types = 0;
  EnumResourceTypesA(lib, count_type, reinterpret_cast<LONG_PTR>(&types));
  bool ok = true;
  if (!want_resources) {
    ok = types == 0;
    std::printf("%s %s: %d resource types (want none)\n", ok ? "ok" : "FAIL", path, types);
  } else {
    // Strings 96..111 share one table block; only 100 and 101 may be set.
    // The block is the only resource the library may carry.
    bool strings_only = types == 1 && FindResourceA(lib, MAKEINTRESOURCEA(100 / 16 + 1), MAKEINTRESOURCEA(6)) != nullptr;
    std::string s100 = string_resource(lib, 100), s101 = string_resource(lib, 101);
    bool others_empty = true;
    for (UINT id = 96; id < 112; ++id)
      if (id != 100 && id != 101 && string_resource(lib, id) != "<none>") others_empty = false;
    ok = strings_only && others_empty && s100 == "MATLAB R11 native" && s101 == "not inlined";
    std::printf("%s %s: 100 \"%s\", 101 \"%s\"%s%s\n", ok ? "ok" : "FAIL", path, s100.c_str(),
                s101.c_str(), strings_only ? "" : ", other resources present",
                others_empty ? "" : ", other strings present");
  }
  FreeLibrary(lib);
  return ok;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: read_resources MANIFEST\n");
    return 2;
  }
  std::ifstream manifest(argv[1]);
  if (!manifest) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 2;
  }
  std::string top = build_dir(), line;
  int checked = 0, failed = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string rel, entry, resources;
    if (!(fields >> rel >> entry >> resources)) continue;
    ++checked;
    std::string name = rel.substr(rel.find_last_of('/') + 1);
    name = name.substr(0, name.find('.'));
    bool want = name != "axisfold" && name != "aliascheck" && name != "opcharge";
    if (want != (resources == "ON")) {
      std::printf("FAIL %s: built %s resources\n", rel.c_str(), want ? "without" : "with");
      ++failed;
    } else if (!check(top, rel, want)) {
      ++failed;
    }
  }
  std::printf("%d gateway libraries checked, %d failed\n", checked, failed);
  return checked > 0 && failed == 0 ? 0 : 1;
}
