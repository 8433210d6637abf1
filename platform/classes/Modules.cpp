#include "platform/classes/Modules.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StringUtils.h"

#include <algorithm>
#include <dlfcn.h>
#include <cstdlib>
#include <exception>

namespace zv {

namespace {

// Module names are identifiers, compared as the host compares unit names.
bool SameName(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

}  // namespace

TModuleList::~TModuleList() {
  try {
    Finalize();
  } catch (...) {
    // Nothing can report it any more: the program is ending.
  }
}

void TModuleList::Add(TModuleInfo module) {
  if (module.Name.empty()) throw EModuleError(SModuleUnnamed);
  // A static library linked into both a program and a shared library the program loads adds
  // its module from both copies: the first stays.
  if (Contains(module.Name)) return;
  fModules.push_back(std::move(module));
}

bool TModuleList::Contains(std::string_view name) const {
  return std::any_of(fModules.begin(), fModules.end(), [&](const TModuleInfo& m) { return SameName(m.Name, name); });
}

bool TModuleList::Initialized(std::string_view name) const {
  return std::any_of(fInitialized.begin(), fInitialized.end(),
                     [&](std::size_t i) { return SameName(fModules[i].Name, name); });
}

std::vector<String> TModuleList::InitializationOrder() const {
  std::vector<String> names;
  for (std::size_t i : fInitialized) names.push_back(fModules[i].Name);
  return names;
}

void TModuleList::Initialize() {
  // The order is planned in full before any step runs, so that a bad module list changes
  // nothing.
  enum class Mark { None, Visiting, Planned };
  std::vector<Mark> marks(fModules.size(), Mark::None);
  for (std::size_t i : fInitialized) marks[i] = Mark::Planned;
  std::vector<std::size_t> plan;
  std::function<void(std::size_t)> visit = [&](std::size_t i) {
    if (marks[i] == Mark::Planned) return;
    if (marks[i] == Mark::Visiting)
      throw EModuleError(Format(SModuleCycle, {fModules[i].Name}));
    marks[i] = Mark::Visiting;
    for (const String& used : fModules[i].Uses) {
      auto it = std::find_if(fModules.begin(), fModules.end(), [&](const TModuleInfo& m) { return SameName(m.Name, used); });
      if (it == fModules.end())
        throw EModuleError(Format(SModuleNotLinked, {fModules[i].Name, used}));
      visit(static_cast<std::size_t>(it - fModules.begin()));
    }
    marks[i] = Mark::Planned;
    plan.push_back(i);
  };
  for (std::size_t i = 0; i < fModules.size(); ++i) visit(i);

  const std::size_t before = fInitialized.size();
  for (std::size_t i : plan) {
    try {
      if (fModules[i].Initialization) fModules[i].Initialization();
    } catch (...) {
      // Undo this call's work only: modules initialized earlier stay up for their users.
      while (fInitialized.size() > before) {
        const std::size_t last = fInitialized.back();
        fInitialized.pop_back();
        try {
          if (fModules[last].Finalization) fModules[last].Finalization();
        } catch (...) {
        }
      }
      throw;
    }
    fInitialized.push_back(i);
  }
}

void TModuleList::Finalize() {
  std::exception_ptr first;
  while (!fInitialized.empty()) {
    const std::size_t last = fInitialized.back();
    fInitialized.pop_back();
    try {
      if (fModules[last].Finalization) fModules[last].Finalization();
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

void TModuleList::Remove(std::string_view name) {
  const auto it = std::find_if(fModules.begin(), fModules.end(), [&](const TModuleInfo& m) { return SameName(m.Name, name); });
  if (it == fModules.end()) return;
  const std::size_t index = static_cast<std::size_t>(it - fModules.begin());
  const auto init = std::find(fInitialized.begin(), fInitialized.end(), index);
  const bool wasInitialized = init != fInitialized.end();
  if (wasInitialized) fInitialized.erase(init);
  TModuleInfo removed = std::move(*it);
  fModules.erase(it);
  for (std::size_t& i : fInitialized)
    if (i > index) --i;
  // Out of the list before its finalization runs: a finalization that raises leaves no
  // half-removed module behind.
  if (wasInitialized && removed.Finalization) removed.Finalization();
}

std::vector<String> TModuleList::Names() const {
  std::vector<String> names;
  for (const TModuleInfo& m : fModules) names.push_back(m.Name);
  return names;
}

HMODULE LoadLibrary(const String& path, String& error) {
  // Lazy binding would defer a missing symbol to its first call; now is when it can be told.
  HMODULE module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = dlerror();
    error = why ? why : "";
  }
  return module;
}

void* GetProcAddress(HMODULE module, const char* name) { return module ? dlsym(module, name) : nullptr; }

void FreeLibrary(HMODULE module) {
  if (module) dlclose(module);
}

HMODULE FindLibraryOf(const void* address) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return nullptr;
  // RTLD_NOLOAD finds the library already mapped without loading anything; the reference it
  // takes is given back at once.
  HMODULE module = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  if (module) dlclose(module);
  return module;
}

TModuleList& Modules() {
  // Never destroyed: registrations run during static construction in any order, and the
  // finalization must not depend on when this object would go.
  static TModuleList* modules = new TModuleList;
  return *modules;
}

void InitializeModules() {
  Modules().Initialize();
  // Registered after the first initialization, so that it runs before the static objects that
  // initialization created (the class registry, the modules' own) are destroyed.
  static const bool atExit = (std::atexit([] {
                                try {
                                  FinalizeModules();
                                } catch (...) {
                                }
                              }),
                              true);
  (void)atExit;
}

void FinalizeModules() { Modules().Finalize(); }

void RegisterClasses(const std::vector<TClass>& classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClasses(const std::vector<TClass>& classes) {
  for (TClass c : classes) UnRegisterClass(c);
}

}  // namespace zv
