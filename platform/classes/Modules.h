#pragma once
// Modules: what a library folder or a package does when a program starts and when it ends.
// Every module has a name, the modules it uses, an initialization step (register its classes,
// create its shared objects) and a finalization step (free them, unregister). Initialization
// runs the modules a module uses first, otherwise in the order the modules were added;
// finalization runs in exactly the reverse order.
//
// A module adds itself to Modules() with a ZV_MODULE registration in a source that is linked
// whenever the module is used; TApplication::Initialize runs the initialization of everything
// added, and the finalization runs when the program calls FinalizeModules() or, failing that,
// when it exits.

#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"

#include <functional>
#include <string_view>
#include <vector>

namespace zv {

class EModuleError : public Exception {
public:
  using Exception::Exception;
};

struct TModuleInfo {
  String Name{};
  // Modules whose initialization must run before this one's.
  std::vector<String> Uses{};
  std::function<void()> Initialization{};
  std::function<void()> Finalization{};
};

class TModuleList {
public:
  TModuleList() = default;
  TModuleList(const TModuleList&) = delete;
  TModuleList& operator=(const TModuleList&) = delete;
  // Finalizes what is still initialized.
  ~TModuleList();

  // Adds a module; a module whose name is already there (names compare without case) is not
  // added again.
  void Add(TModuleInfo module);
  bool Contains(std::string_view name) const;

  // Initializes every added module that is not yet initialized, the modules it uses first.
  // Raises EModuleError, running nothing, when a module uses one that was never added or when
  // uses form a cycle. When an initialization raises, the modules initialized by this call
  // are finalized in reverse and the exception goes on to the caller.
  void Initialize();
  // Finalizes every initialized module, the last initialized first. Every finalization runs
  // even when one raises; the first exception is passed on afterwards.
  void Finalize();

  // Finalizes the module when it is initialized and takes it out of the list (a package's
  // modules when the package is unloaded): a later Add of that name adds it anew.
  void Remove(std::string_view name);
  // The added modules' names, in the order they were added.
  std::vector<String> Names() const;

  bool Initialized(std::string_view name) const;
  // Names of the initialized modules, in the order they were initialized.
  std::vector<String> InitializationOrder() const;

private:
  std::vector<TModuleInfo> fModules;
  std::vector<std::size_t> fInitialized;  // indexes into fModules, in initialization order
};

// The modules of this program.
TModuleList& Modules();
// Modules().Initialize(); also arranges for FinalizeModules to run at exit.
void InitializeModules();
void FinalizeModules();

// Shared libraries (packages): open one, find an exported function, close it. LoadLibrary
// returns null and says why in error when the library cannot be opened.
using HMODULE = void*;
HMODULE LoadLibrary(const String& path, String& error);
void* GetProcAddress(HMODULE module, const char* name);
void FreeLibrary(HMODULE module);
// The library that holds an address (code or static data), or null for the program itself
// and addresses no library holds.
HMODULE FindLibraryOf(const void* address);

// Registration of a module's classes as a one-liner for its initialization and finalization.
void RegisterClasses(const std::vector<TClass>& classes);
void UnRegisterClasses(const std::vector<TClass>& classes);

// Adds a module to Modules() while the program's static objects are constructed.
class TModuleRegistration {
public:
  explicit TModuleRegistration(TModuleInfo module) { Modules().Add(std::move(module)); }
};

}  // namespace zv

// At namespace scope in one source of the module:
//   ZV_MODULE(controls, {.Name = "controls", .Uses = {"graphics"}, .Initialization = ...});
#define ZV_MODULE(Id, ...) \
  static const ::zv::TModuleRegistration zvModuleRegistration_##Id{::zv::TModuleInfo __VA_ARGS__}
