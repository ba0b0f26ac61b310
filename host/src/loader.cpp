// The loader of the own host: opens a gateway library on its own, finds its
// entry point (C or by-reference Fortran linkage) and its version text, and
// names the paths of the gateways built for this host.
#include "gatebox/host.hpp"

#include <stdexcept>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifndef GATEBOX_BUILD_DIR
#define GATEBOX_BUILD_DIR "."
#endif

namespace gatebox::host {

using VersionFn = const char *(*)();

static void *lib_open(const std::string &path) {
#if defined(_WIN32)
  return reinterpret_cast<void *>(LoadLibraryA(path.c_str()));
#else
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}
static void *lib_symbol(void *h, const char *name) {
#if defined(_WIN32)
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(h), name));
#else
  return dlsym(h, name);
#endif
}
static void lib_close(void *h) {
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(h));
#else
  dlclose(h);
#endif
}
static std::string lib_error() {
#if defined(_WIN32)
  return "LoadLibrary failed with code " + std::to_string(GetLastError());
#else
  const char *e = dlerror();
  return e ? e : "unknown error";
#endif
}

Gateway::Gateway(std::string path) : path_(std::move(path)) {
  std::size_t slash = path_.find_last_of("/\\");
  name_ = path_.substr(slash == std::string::npos ? 0 : slash + 1);
  name_ = name_.substr(0, name_.find('.'));
  open();
}

Gateway::~Gateway() { close(); }

void Gateway::open() {
  handle_ = lib_open(path_);
  if (!handle_) throw std::runtime_error("cannot load gateway " + path_ + ": " + lib_error());
  entry_ = lib_symbol(handle_, "mexFunction");
  by_reference_ = false;
#if defined(_WIN32)
  if (!entry_) entry_ = lib_symbol(handle_, "_mexFunction");
#endif
  if (!entry_) {
    entry_ = lib_symbol(handle_, "mexfunction_");
#if defined(_WIN32)
    if (!entry_) entry_ = lib_symbol(handle_, "_mexfunction_");
#endif
    by_reference_ = entry_ != nullptr;
  }
  if (!entry_) {
    close();
    throw std::runtime_error("gateway " + path_ + " has no entry point");
  }
}

void Gateway::close() {
  if (handle_) lib_close(handle_);
  handle_ = nullptr;
  entry_ = nullptr;
}

void Gateway::reload() {
  close();
  open();
}

std::string Gateway::version() const {
  auto fn = reinterpret_cast<VersionFn>(lib_symbol(handle_, "mexVersion"));
  if (fn) return fn();
#if defined(_WIN32)
  // Windows gateway libraries name their host release in string resource 100.
  char text[256];
  int n = LoadStringA(static_cast<HMODULE>(handle_), 100, text, static_cast<int>(sizeof text));
  if (n > 0) return std::string(text, static_cast<std::size_t>(n));
#endif
  return "";
}

#if defined(_WIN32)
// The build directory as Windows sees it: the parent of the directory that
// holds this DLL (<build>/bin/libgateboxhost.dll).  A cross build knows its
// directory only as a path of the build machine, which need not be valid here.
static std::string build_dir() {
  HMODULE self = nullptr;
  if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&build_dir), &self)) {
    std::vector<char> path(32768);
    DWORD n = GetModuleFileNameA(self, path.data(), static_cast<DWORD>(path.size()));
    std::string p(path.data(), n < path.size() ? n : 0);
    for (int up = 0; up < 2 && !p.empty(); ++up) {
      std::size_t slash = p.find_last_of("/\\");
      p = slash == std::string::npos ? std::string() : p.substr(0, slash);
    }
    if (!p.empty()) return p;
  }
  return GATEBOX_BUILD_DIR;
}
#else
static std::string build_dir() { return GATEBOX_BUILD_DIR; }
#endif

std::string gateway_path(const std::string &name, const std::string &subdir) {
  std::string dir = build_dir() + "/host/";
  if (!subdir.empty()) dir += subdir + "/";
#if defined(_WIN32)
  return dir + name + (sizeof(void *) == 8 ? ".mexw64" : ".mexw32");
#else
  return dir + name + ".mex";
#endif
}

}  // namespace gatebox::host
