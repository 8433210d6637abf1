// Not compiled: a call into a detail namespace without the include.
#pragma once
inline int Calls() { return zv::detail::Count(); }
