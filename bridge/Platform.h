#pragma once
// The one place that knows how symbols cross the host boundary. The host module exports
// its functions; the plugin imports them (from "version.dll" on Windows).

#if defined(_WIN32)
#if defined(QUORVANE_BUILDING_HOST)
#define ARK_API __declspec(dllexport)
#else
#define ARK_API __declspec(dllimport)
#endif
#define QUORVANE_EXPORT __declspec(dllexport)
#else
#define ARK_API __attribute__((visibility("default")))
#define QUORVANE_EXPORT __attribute__((visibility("default")))
#endif
