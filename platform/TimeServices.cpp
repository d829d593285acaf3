#include "platform/TimeServices.h"

namespace {
ITimeServices* g_installed = nullptr;
}

ITimeServices& TimeServices() { return g_installed ? *g_installed : PlatformTimeServices(); }

ScopedTimeServices::ScopedTimeServices(ITimeServices& services) : previous_(g_installed) {
  g_installed = &services;
}

ScopedTimeServices::~ScopedTimeServices() { g_installed = previous_; }
